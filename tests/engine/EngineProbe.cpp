// Runs one engine operation in a process of its own and prints its
// outcome, so that tests can run it with another system version:
//   engine_probe family
//   engine_probe schedule PATH | cancel PATH        -> "result=0|1"
//   engine_probe payload STREAM_FILE DIR            -> "commands=..." or "error=..."
#include "engine/InstallOptions.h"
#include "engine/WriteFilesFromLzmaStream.h"
#include "foundation/Errors.h"
#include "system/RebootDeletion.h"
#include "system/SystemInfo.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int RunPayload(const std::string& streamFile, const std::string& dir) {
    std::ifstream in(streamFile, std::ios::binary);
    std::string stream((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Options().uninstallerPath = dir + "\\uninst.exe";
    WriteFilesFromLzmaStream step;
    try {
        step.WriteFiles(reinterpret_cast<const unsigned char*>(stream.data()), stream.size(), dir);
    } catch (const InstallError& e) {
        std::printf("error=%s\n", e.what());
        return 1;
    }
    step.Commit();
    std::printf("commands=%s\n", Options().uninstallCommands.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "family") {
        std::printf("%s\n", SharedSystemInfo().IsNtFamily() ? "nt" : "9x");
        return 0;
    }
    if (argc == 3 && command == "schedule") {
        std::printf("result=%d\n", ScheduleDeleteOnReboot(argv[2]) ? 1 : 0);
        return 0;
    }
    if (argc == 3 && command == "cancel") {
        std::printf("result=%d\n", CancelDeleteOnReboot(argv[2]) ? 1 : 0);
        return 0;
    }
    if (argc == 4 && command == "payload") return RunPayload(argv[2], argv[3]);
    std::fprintf(stderr, "usage: engine_probe family | schedule PATH | cancel PATH | payload STREAM DIR\n");
    return 2;
}
