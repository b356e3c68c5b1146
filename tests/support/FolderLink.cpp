#include "support/FolderLink.h"

#include "foundation/TextConversion.h"
#include "foundation/UniqueHandle.h"
#include "foundation/Win.h"

#include <stdexcept>
#include <vector>

namespace uninstall_test {

namespace {

// Wine's own export; the text is the caller's to free.
using UnixFileName = char*(__cdecl*)(const wchar_t*);

std::string HostPath(const std::string& path) {
    const auto convert = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) throw std::runtime_error("not running under Wine");
    char* text = convert(MultiByteToWide(path).c_str());
    if (text == nullptr) throw std::runtime_error("no host path for " + path);
    std::string hostPath = text;
    HeapFree(GetProcessHeap(), 0, text);
    return hostPath;
}

}  // namespace

void MakeFolderLink(const std::string& link, const std::string& target) {
    const size_t slash = link.rfind('\\');
    const std::string hostLink = HostPath(link.substr(0, slash)) + "/" + link.substr(slash + 1);
    std::string commandLine = "ln -s \"" + HostPath(target) + "\" \"" + hostLink + "\"";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\ln", buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        throw std::runtime_error("cannot start ln");
    const UniqueHandle thread(process.hThread), started(process.hProcess);
    // The handle of a host program tells nothing about its end: the link is
    // watched for instead.
    for (int waited = 0; waited < 10000; waited += 20) {
        const DWORD attributes = GetFileAttributesA(link.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return;
        Sleep(20);
    }
    throw std::runtime_error("no folder link at " + link);
}

}  // namespace uninstall_test
