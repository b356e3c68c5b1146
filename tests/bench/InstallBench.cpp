// Benchmark driver (run by run-bench.sh under wine64, never by ctest):
// puts a payload into a copy of the installer as resource 148, installs it
// unattended a few times, and prints wall time and peak memory of each run,
// then the time liblzma alone takes to decode the same stream.
//
//   install_bench INSTALLER.exe PAYLOAD.lzma LABEL [RUNS]
#include "engine/LzmaChunkDecoder.h"
#include "engine/WriteFilesFromLzmaStream.h"
#include "foundation/UniqueHandle.h"
#include "foundation/Win.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ReplacePayload(const std::string& installer, const std::vector<unsigned char>& payload) {
    HANDLE update = BeginUpdateResourceA(installer.c_str(), FALSE);
    if (!update) throw std::runtime_error("BeginUpdateResourceA failed");
    WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    BOOL done = UpdateResourceA(update, "BINARY", MAKEINTRESOURCEA(148), english,
                                const_cast<unsigned char*>(payload.data()), static_cast<DWORD>(payload.size()));
    if (!EndUpdateResourceA(update, !done) || !done) throw std::runtime_error("UpdateResourceA failed");
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One unattended installation; returns the exit code.
DWORD RunInstaller(const std::string& installer, const std::string& target, double& seconds) {
    std::string commandLine = "\"" + installer + "\" -acceptEULA -installForMeOnly -noDesktopIcon -installDir=" + target;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER start = Now();
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("CreateProcessA failed");
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle thread(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    seconds = Seconds(start, Now());
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

double RawDecodeSeconds(const std::vector<unsigned char>& stream) {
    LARGE_INTEGER start = Now();
    LzmaChunkDecoder decoder(stream.data());
    std::uint64_t remaining = 0;
    for (int i = 7; i >= 0; --i) remaining = (remaining << 8) | stream[5 + i];
    std::unique_ptr<unsigned char[]> chunk(new unsigned char[WriteFilesFromLzmaStream::kOutputChunkSize]);
    std::size_t position = 13;
    while (remaining != 0) {
        std::size_t wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(remaining, WriteFilesFromLzmaStream::kOutputChunkSize));
        std::size_t consumed = 0;
        remaining -= decoder.Decode(stream.data() + position, stream.size() - position, chunk.get(), wanted, consumed);
        position += consumed;
    }
    return Seconds(start, Now());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: install_bench INSTALLER.exe PAYLOAD.lzma LABEL [RUNS]\n");
        return 2;
    }
    try {
        std::string label = argv[3];
        int runs = argc > 4 ? std::atoi(argv[4]) : 3;
        std::vector<unsigned char> payload = ReadAll(argv[2]);
        std::string installer = "C:\\bench-installer-" + label + ".exe";
        if (!CopyFileA(argv[1], installer.c_str(), FALSE)) throw std::runtime_error("CopyFileA failed");
        ReplacePayload(installer, payload);

        std::string memoryFile = "C:\\bench-memory-" + label + ".txt";
        SetEnvironmentVariableA("QUILLMORE_TEST_MEMORY_FILE", memoryFile.c_str());
        for (int run = 1; run <= runs; ++run) {
            // Each run is a first installation: without the registration of
            // the previous run, no uninstaller is run before it.
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmore");
            std::string target = "C:\\bench\\" + label + "-" + std::to_string(run);
            double seconds = 0;
            DWORD exitCode = RunInstaller(installer, target, seconds);
            std::printf("%s run %d: exit %lu, wall %.3f s, peak working set %s\n", label.c_str(), run, exitCode,
                        seconds, ReadText(memoryFile).c_str());
        }
        std::printf("%s: raw liblzma decode of the same %zu-byte stream: %.3f s\n", label.c_str(), payload.size(),
                    RawDecodeSeconds(payload));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "install_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
