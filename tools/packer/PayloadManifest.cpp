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

PayloadEntry ParseEntry(const std::vector<std::string>& fields) {
    if (fields.size() < 2) throw std::runtime_error("expected a name and a source file");
    PayloadEntry entry{fields[0], fields[1]};
    if (!entry.name.empty() && !StaysInsideDirectory(entry.name))
        throw std::runtime_error("name '" + entry.name + "' leads outside the installation directory");
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const std::string& option = fields[i];
        if (option == "uninstaller") {
            entry.uninstaller = true;
        } else if (option.compare(0, 9, "selector=") == 0) {
            entry.selector = std::stoi(option.substr(9));
            if (entry.selector < 0 || entry.selector > 255) throw std::runtime_error("selector out of range");
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
    std::vector<PayloadEntry> entries;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        try {
            entries.push_back(ParseEntry(SplitTabs(line)));
        } catch (const std::exception& e) {
            throw std::runtime_error(path + ":" + std::to_string(number) + ": " + e.what());
        }
    }
    return entries;
}
