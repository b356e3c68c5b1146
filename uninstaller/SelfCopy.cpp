#include "uninstaller/SelfCopy.h"

#include "contract/UninstallContract.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"
#include "foundation/Path.h"
#include "system/FileSystemQueries.h"

#include <cstdio>
#include <vector>

namespace {

const DWORD originalEndTimeout = 60000;
const int copyNameAttempts = 100;

// A new file "uninst-XXXXXXXX.exe" in the temporary directory; an existing
// file of that name belongs to someone else and is never overwritten.
std::string CopyToTemp(const std::string& ownPath, Report& report) {
    const std::string directory = GetTempDirectory();
    if (directory.empty()) {
        report.Line(TemporaryDirectoryFailedLine(DescribeWindowsError(GetLastError())));
        return std::string();
    }
    DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < copyNameAttempts; ++attempt, seed = seed * 1103515245 + 12345) {
        char name[32];
        std::snprintf(name, sizeof name, "uninst-%08lX.exe", static_cast<unsigned long>(seed));
        const std::string target = JoinPath(directory, name);
        if (CopyFileA(ownPath.c_str(), target.c_str(), TRUE)) return target;
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            report.Line(CopyFailedLine(target, DescribeWindowsError(code)));
            return std::string();
        }
    }
    report.Line(NoFreeCopyNameLine(directory));
    return std::string();
}

}  // namespace

std::string OwnPath() {
    std::vector<char> buffer(MAX_PATH + 1);
    while (true) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool HandOverToCopy(const std::string& ownPath, const std::string& argumentTail, Report& report) {
    const std::string copyPath = CopyToTemp(ownPath, report);
    if (copyPath.empty()) return false;

    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE, 0)) {
        report.Line(CopyNotStartedLine("DuplicateHandle()", DescribeWindowsError(GetLastError())));
        DeleteFileA(copyPath.c_str());
        return false;
    }
    const UniqueHandle inheritableSelf(self);
    std::string commandLine = "\"" + copyPath + "\"" + argumentTail +
                              " -parent=" + HandleValueText(reinterpret_cast<std::uintptr_t>(self)) +
                              " \"-parentPath=" + ownPath + "\"";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // The copy stays in the caller's job (no breakaway): the installer
    // counts the processes that can still report a result.
    if (!CreateProcessA(copyPath.c_str(), buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        report.Line(CopyNotStartedLine("CreateProcess()", DescribeWindowsError(GetLastError())));
        DeleteFileA(copyPath.c_str());
        return false;
    }
    const UniqueHandle thread(process.hThread), started(process.hProcess);
    return true;
}

void WaitForOriginal(const Arguments& args) {
    const UniqueHandle original(args.parent);
    WaitForSingleObject(original.get(), originalEndTimeout);
}
