// Payload file names are relative to the installation directory and must
// stay inside it. The rule is shared by the installer and the host packer,
// so it knows nothing of Windows: the caller says which bytes lead a
// double-byte character of the ANSI code page.
#pragma once

#include <string>

namespace payload_name {

// Windows drops trailing dots and blanks from a component, so ".." may come
// disguised as "..." or ".. ": every run of dots and blanks that holds two
// dots climbs up.
inline bool ClimbsUp(const std::string& component) {
    std::size_t dots = 0;
    for (char c : component) {
        if (c == '.')
            ++dots;
        else if (c != ' ')
            return false;
    }
    return dots >= 2;
}

inline bool NeverLeadByte(unsigned char) {
    return false;
}

}  // namespace payload_name

// False for a name that is absolute ("\x", "/x"), names a drive or a stream
// (any ':'), or has a component that Windows reads as the parent directory
// (".." and its forms with trailing dots or blanks). Both separators count;
// a lead byte and the byte after it are stepped over whole.
template <typename IsLeadByte>
bool StaysInsideDirectory(const std::string& name, IsLeadByte isLeadByte) {
    if (name.empty() || name[0] == '\\' || name[0] == '/') return false;
    if (name.find(':') != std::string::npos) return false;
    std::string component;
    for (std::size_t at = 0; at < name.size(); ++at) {
        const unsigned char byte = static_cast<unsigned char>(name[at]);
        if (isLeadByte(byte) && at + 1 < name.size()) {
            component += name.substr(at, 2);
            ++at;
        } else if (byte == '\\' || byte == '/') {
            if (payload_name::ClimbsUp(component)) return false;
            component.clear();
        } else {
            component += name[at];
        }
    }
    return !payload_name::ClimbsUp(component);
}

// For names written on a host that knows no ANSI code page: every '\' and
// '/' byte separates.
inline bool StaysInsideDirectory(const std::string& name) {
    return StaysInsideDirectory(name, payload_name::NeverLeadByte);
}
