// Registry, file and output helpers of the uninstaller and previous
// installation tests: they build the state an installation leaves and read
// back what a removal left of it.
#pragma once

#include "foundation/Win.h"

#include <string>
#include <utility>
#include <vector>

namespace uninstall_test {

const char uninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char machineEnvironment[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char userEnvironment[] = "Environment";

struct RawValue {
    bool exists = false;
    DWORD type = 0;
    std::string bytes;  // exactly as stored, terminators included
};

// Values: the key is created when missing; REG_SZ and REG_EXPAND_SZ get a
// terminating zero byte. WriteRaw stores the bytes exactly.
void WriteString(HKEY root, const std::string& subkey, const std::string& name, const std::string& text,
                 DWORD type = REG_SZ);
void WriteRaw(HKEY root, const std::string& subkey, const std::string& name, DWORD type, const std::string& bytes);
RawValue ReadRaw(HKEY root, const std::string& subkey, const std::string& name);
// The string without its terminator; empty when missing.
std::string ReadString(HKEY root, const std::string& subkey, const std::string& name);
bool KeyExists(HKEY root, const std::string& subkey);
void DeleteTree(HKEY root, const std::string& subkey);

void WriteFileText(const std::string& path, const std::string& text);
std::string ReadFileText(const std::string& path);
bool PathExists(const std::string& path);
void MakeDirectory(const std::string& path);

// The command list in the installer's format: the first entry without a
// leading blank, then blank, quote, keyword, argument, quote.
using Commands = std::vector<std::pair<std::string, std::string>>;
std::string CommandList(const Commands& commands);

// Sources of the deletion pairs in PendingFileRenameOperations, without the
// "\??\" prefix.
std::vector<std::string> PendingDeletions();

// Everything written to this process's standard output handle meanwhile
// (and so by the programs it starts, which inherit it) goes to a file.
class CapturedOutput {
public:
    CapturedOutput();
    ~CapturedOutput();
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    // Ends the capture (once) and returns the bytes.
    std::string Text();

private:
    std::string m_path;
    HANDLE m_file;
    HANDLE m_previous;
    bool m_active = true;
};

}  // namespace uninstall_test
