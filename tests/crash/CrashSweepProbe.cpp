// The in-prefix half of tests/crash/crash-sweep.sh: it remembers the machine
// before an installation that the script kills and then repeats with -force,
// and afterwards removes that installation through its registered
// uninstaller and compares.
//
//   crash_sweep_probe <control folder>
//
// Takes the snapshot and creates <control>\ready, waits for <control>\go,
// runs the registered uninstaller with its result channel, and prints
// "uninstall <result>", the differences from the first snapshot (the
// uninstaller's temporary copies, which go at the next reboot, aside) and
// "clean" when there were none. Exit code 0 when both held.
#include "installer/PreviousInstallation.h"
#include "support/Files.h"
#include "support/Registry.h"
#include "support/SystemSnapshot.h"

#include <cstdio>
#include <regex>

namespace {

const DWORD goTimeoutMs = 600000;

bool WaitForFile(const std::string& path) {
    for (DWORD waited = 0; waited < goTimeoutMs; waited += 100) {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(100);
    }
    return false;
}

// The pending deletions of the uninstaller's temporary copies are the one
// trace a complete removal leaves until the next start.
std::string WithoutTemporaryCopies(const std::string& difference) {
    static const std::regex copies(R"(\\\?\?\\C:\\users\\[^\\|]+\\Temp\\uninst-[0-9A-F]{8}\.exe\|\|)");
    static const std::regex onlyCopies(
        R"(\+ HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\:PendingFileRenameOperations: \d+:\|?\n)");
    return std::regex_replace(std::regex_replace(difference, copies, ""), onlyCopies, "");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: crash_sweep_probe <control folder>\n");
        return 3;
    }
    const std::string control = argv[1];
    const SystemSnapshot before = SystemSnapshot::Take();
    WriteFileBytes(control + "\\ready", "");
    if (!WaitForFile(control + "\\go")) return 3;

    const std::string uninstallString = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    std::uint32_t result = 0;
    if (uninstallString.empty()) {
        std::printf("uninstall: no registered installation\n");
        result = 99;
    } else {
        result = RunUninstaller(uninstallString);
        std::printf("uninstall %u\n", static_cast<unsigned>(result));
    }
    const std::string difference = WithoutTemporaryCopies(Difference(before, SystemSnapshot::Take()));
    std::printf("%s%s", difference.c_str(), difference.empty() ? "clean\n" : "");
    return result == 0 && difference.empty() ? 0 : 1;
}
