#include "support/FolderLink.h"

#include "foundation/Handle.h"
#include "foundation/RegKey.h"
#include "foundation/Text.h"
#include "foundation/Win.h"

#include <stdexcept>
#include <vector>

namespace uninstall_test {

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

void MakeLink(const std::string& link, const std::string& target) {
    const size_t slash = link.rfind('\\');
    const std::string hostLink = HostPath(link.substr(0, slash)) + "/" + link.substr(slash + 1);
    std::string commandLine = "ln -s \"" + HostPath(target) + "\" \"" + hostLink + "\"";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\ln", buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start ln");
    const UniqueHandle thread(process.hThread), started(process.hProcess);
    // The handle of a host program tells nothing about its end: the link is
    // watched for instead.
    for (int waited = 0; waited < 10000; waited += 20) {
        if (GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES) return;
        Sleep(20);
    }
    throw std::runtime_error("no link at " + link);
}

void MakeRegistryLink(const std::string& link, const std::string& target) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, link.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &created, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the registry link " + link);
    const UniqueRegKey key(created);
    const std::wstring path = MultiByteToWide("\\Registry\\Machine\\" + target);
    if (RegSetValueExW(key.get(), L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(path.data()),
                       static_cast<DWORD>(path.size() * sizeof(wchar_t))) != ERROR_SUCCESS)
        throw std::runtime_error("cannot point the registry link " + link + " at " + target);
}

}  // namespace uninstall_test
