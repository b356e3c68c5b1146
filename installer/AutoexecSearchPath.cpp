#include "installer/UpdateSearchPath.h"

#include "foundation/FileIo.h"
#include "foundation/Win.h"

#include <vector>

namespace {

const char kStartupFileToRead[] = "C:\\AUTOEXEC.BAT";
const char kStartupFileToAppend[] = "c:\\autoexec.bat";
const DWORD kLargestPartRead = 100000;
const char kBlanks[] = "\t\n\r ";
const DWORD kShortPathBufferSize = 261;

std::string TrimmedLeft(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string Trimmed(const std::string& text) {
    const std::string left = TrimmedLeft(text);
    return left.substr(0, left.find_last_not_of(kBlanks) + 1);
}

std::string ShortPath(const std::string& path) {
    char buffer[kShortPathBufferSize] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, kShortPathBufferSize);
    if (length == 0 || length >= kShortPathBufferSize) return std::string();
    return std::string(buffer, length);
}

// The first 100000 bytes; empty when the file cannot be read.
std::string ReadStartupFile() {
    HANDLE opened = CreateFileA(kStartupFileToRead, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return std::string();
    FileIo file(SharedHandle(opened, true));
    std::vector<unsigned char> bytes(kLargestPartRead);
    file.Read(bytes);
    if (!file.Succeeded()) return std::string();
    return std::string(bytes.begin(), bytes.end());
}

struct PathLine {
    bool namesDirectory = false;
    bool replacesPath = false;  // an assignment that does not extend %PATH%
};

// A line that starts with "PATH" (PATHEXT too) and its entries after '='.
PathLine ReadPathLine(const std::string& line, const std::string& installDir, const std::string& shortDir) {
    PathLine result;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return result;
    result.replacesPath = true;
    std::string value = TrimmedLeft(line.substr(equals + 1));
    if (!value.empty() && value.front() == '"') value.erase(0, 1);
    if (!value.empty() && value.back() == '"') value.pop_back();
    if (value.empty()) return result;
    for (const std::string& entry : SplitList(value, ';')) {
        if (SameTextIgnoringCase(entry, "%PATH%"))
            result.replacesPath = false;
        else if (SameTextIgnoringCase(entry, installDir) || SameTextIgnoringCase(entry, shortDir))
            result.namesDirectory = true;
    }
    return result;
}

// A later line that replaces the path without the directory voids an
// earlier finding.
bool StartupFileSetsDirectory(const std::string& text, const std::string& installDir, const std::string& shortDir) {
    bool present = false;
    for (const std::string& rawLine : SplitList(text, '\n')) {
        const std::string line = Trimmed(rawLine);
        if (line.size() < 4 || !SameTextIgnoringCase(line.substr(0, 4), "PATH")) continue;
        const PathLine pathLine = ReadPathLine(line, installDir, shortDir);
        if (pathLine.namesDirectory)
            present = true;
        else if (pathLine.replacesPath)
            present = false;
    }
    return present;
}

void AppendToStartupFile(const std::string& text) {
    HANDLE opened = CreateFileA(kStartupFileToAppend, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return;
    FileIo file(SharedHandle(opened, true));
    file.Write(text.data(), static_cast<DWORD>(text.size()), 0, FILE_END);
}

}  // namespace

void UpdateAutoexecSearchPath(const std::string& installDir) {
    const std::string shortDir = ShortPath(installDir);
    if (shortDir.empty()) return;
    if (StartupFileSetsDirectory(ReadStartupFile(), installDir, shortDir)) return;
    AppendToStartupFile("\r\nPATH=%PATH%;" + shortDir + "\r\n");
}
