#include "engine/PayloadFileName.h"

#include "foundation/Win.h"

#include <vector>

namespace {

std::vector<std::string> Components(const std::string& name) {
    std::vector<std::string> components(1);
    for (std::size_t at = 0; at < name.size(); ++at) {
        unsigned char byte = static_cast<unsigned char>(name[at]);
        if (IsDBCSLeadByte(byte) && at + 1 < name.size()) {
            components.back() += name.substr(at, 2);
            ++at;
        } else if (byte == '\\' || byte == '/') {
            components.emplace_back();
        } else {
            components.back() += name[at];
        }
    }
    return components;
}

// Windows drops trailing dots and blanks from a component, so ".." may come
// disguised as "..." or ".. ": refuse every run of dots and blanks that
// holds two dots.
bool ClimbsUp(const std::string& component) {
    std::size_t dots = 0;
    for (char c : component) {
        if (c == '.') ++dots;
        else if (c != ' ') return false;
    }
    return dots >= 2;
}

}  // namespace

bool StaysInsideDirectory(const std::string& name) {
    if (name.empty() || name[0] == '\\' || name[0] == '/') return false;
    if (name.find(':') != std::string::npos) return false;
    for (const std::string& component : Components(name))
        if (ClimbsUp(component)) return false;
    return true;
}
