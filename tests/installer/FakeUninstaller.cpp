// Stands in for a product's uninstaller. What it does comes from the
// environment variable QUILLMORE_FAKE_UNINSTALLER:
//   exit:N        exit with N
//   channel:V     write V into the -result= section, signal -done=, exit 1
//   silent        exit 1 without signalling
//   relay:V       start a copy of itself that signals V half a second
//                 later, and exit 1 at once (as the real one hands over)
//   relay-silent  the same, but the copy ends without signalling
// Each run appends "<module path>|<command line>" to QUILLMORE_FAKE_LOG.
#include "foundation/Handle.h"
#include "foundation/Win.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string Environment(const char* name) {
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

HANDLE HandleAfter(const std::string& commandLine, const char* option) {
    const size_t at = commandLine.find(option);
    if (at == std::string::npos) return nullptr;
    return reinterpret_cast<HANDLE>(
        static_cast<std::uintptr_t>(std::strtoull(commandLine.c_str() + at + std::strlen(option), nullptr, 16)));
}

void Log(const std::string& commandLine) {
    const std::string logPath = Environment("QUILLMORE_FAKE_LOG");
    if (logPath.empty()) return;
    char module[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::ofstream(logPath, std::ios::app | std::ios::binary)
        << std::string(module, length) << '|' << commandLine << '\n';
}

int Signal(const std::string& commandLine, std::uint32_t value) {
    {
        const UniqueView view(MapViewOfFile(HandleAfter(commandLine, "-result="), FILE_MAP_WRITE, 0, 0, 4));
        if (!view) return 90;
        std::memcpy(view.get(), &value, sizeof value);
    }
    return SetEvent(HandleAfter(commandLine, "-done=")) ? 1 : 91;
}

int Relay(const std::string& commandLine, const std::string& lateBehaviour) {
    SetEnvironmentVariableA("QUILLMORE_FAKE_UNINSTALLER", lateBehaviour.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string writable = commandLine;
    if (!CreateProcessA(nullptr, &writable[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 92;
    const UniqueHandle thread(process.hThread), started(process.hProcess);
    return 1;
}

}  // namespace

int main() {
    const std::string commandLine = GetCommandLineA();
    const std::string behaviour = Environment("QUILLMORE_FAKE_UNINSTALLER");
    Log(commandLine);
    const std::string argument = behaviour.substr(behaviour.find(':') + 1);
    if (behaviour.compare(0, 5, "exit:") == 0) return std::atoi(argument.c_str());
    if (behaviour.compare(0, 8, "channel:") == 0)
        return Signal(commandLine, std::strtoul(argument.c_str(), nullptr, 10));
    if (behaviour == "silent") return 1;
    if (behaviour.compare(0, 6, "relay:") == 0) return Relay(commandLine, "late:" + argument);
    if (behaviour == "relay-silent") return Relay(commandLine, "late-silent");
    if (behaviour.compare(0, 5, "late:") == 0) {
        Sleep(500);
        Signal(commandLine, std::strtoul(argument.c_str(), nullptr, 10));
        return 0;
    }
    if (behaviour == "late-silent") {
        Sleep(500);
        return 0;
    }
    return 93;
}
