// The packer's list of product files.
#pragma once

#include <istream>
#include <string>
#include <vector>

struct PayloadEntry {
    std::string name;          // relative to the installation directory, '\' separated
    std::string source;        // file on the build host
    int selector = -1;         // -1: no selector message (both families)
    bool uninstaller = false;  // written to the uninstaller path
};

// Reads the manifest; throws std::runtime_error naming the line on any
// fault, including a name that would leave the installation directory.
std::vector<PayloadEntry> ReadPayloadManifest(const std::string& path);
// The same for manifest text from a stream; origin names it in errors.
std::vector<PayloadEntry> ParsePayloadManifest(std::istream& in, const std::string& origin);
