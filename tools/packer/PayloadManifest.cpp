#include "PayloadManifest.h"

#include "engine/PayloadFileName.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t'))
        if (!field.empty()) fields.push_back(field);
    return fields;
}

// The installer reads the selector as one byte; anything but plain digits
// would be a typo packed silently.
int ParseSelector(const std::string& digits) {
    const bool plain =
        !digits.empty() && digits.size() <= 3 && digits.find_first_not_of("0123456789") == std::string::npos;
    const int selector = plain ? std::stoi(digits) : -1;
    if (selector < 0 || selector > 255) throw std::runtime_error("selector must be a number from 0 to 255");
    return selector;
}

// The installer writes through the ANSI calls, whose paths stop at 259
// characters and whose components at 255. Installed under the shortest
// folder there is, a drive root such as "C:\", a longer name could not be
// written anywhere; refused here, it cannot reach a user as a failed install.
constexpr std::size_t kLongestPath = 259;
constexpr std::size_t kLongestComponent = 255;
constexpr std::size_t kLongestName = kLongestPath - 3;

void CheckLength(const std::string& name) {
    if (name.size() > kLongestName)
        throw std::runtime_error("name is longer than " + std::to_string(kLongestName) + " bytes");
    std::istringstream components(name);
    for (std::string component; std::getline(components, component, '\\');)
        if (component.size() > kLongestComponent)
            throw std::runtime_error("a component of the name is longer than " + std::to_string(kLongestComponent) +
                                     " bytes");
}

void CheckName(const std::string& name) {
    CheckLength(name);
    if (!StaysInsideDirectory(name))
        throw std::runtime_error("name '" + name + "' leads outside the installation directory");
}

PayloadEntry ParseEntry(const std::string& line) {
    // Only the name may come first: a line starting with a tab would read
    // its next field as the name.
    if (line[0] == '\t') throw std::runtime_error("the line must start with the name");
    // A control character in a name would cut it short in the installer's
    // Windows calls and in the uninstallation list it records.
    for (char c : line)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            throw std::runtime_error("control character in the line");
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() < 2) throw std::runtime_error("expected a name and a source file");
    PayloadEntry entry{fields[0], fields[1]};
    if (entry.name != "-") CheckName(entry.name);
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const std::string& option = fields[i];
        if (option == "uninstaller") {
            entry.uninstaller = true;
        } else if (option.compare(0, 9, "selector=") == 0) {
            entry.selector = ParseSelector(option.substr(9));
        } else {
            throw std::runtime_error("unknown option '" + option + "'");
        }
    }
    if (entry.name == "-") entry.name.clear();
    return entry;
}

}  // namespace

std::vector<PayloadEntry> ReadPayloadManifest(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read manifest " + path);
    return ParsePayloadManifest(in, path);
}

std::vector<PayloadEntry> ParsePayloadManifest(std::istream& in, const std::string& origin) {
    std::vector<PayloadEntry> entries;
    bool named = false;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        try {
            PayloadEntry entry = ParseEntry(line);
            // The installer refuses a file whose group has no name to reuse,
            // and data without a header message before it only lengthens the
            // previous file.
            if (entry.name.empty() && !entry.uninstaller && !named)
                throw std::runtime_error("'-' needs a name from an earlier line");
            if (entry.name.empty() && !entry.uninstaller && entry.selector < 0)
                throw std::runtime_error("'-' needs selector= or uninstaller to begin a file of its own");
            named = named || !entry.name.empty();
            entries.push_back(entry);
        } catch (const std::exception& e) {
            throw std::runtime_error(origin + ":" + std::to_string(number) + ": " + e.what());
        }
    }
    return entries;
}
