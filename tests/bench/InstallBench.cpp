// Benchmark driver, run under wine64 by run-bench.sh (never by ctest).
//
//   install_bench embed INSTALLER PAYLOAD OUTPUT
//       writes a copy of INSTALLER with PAYLOAD as its resource 148
//   install_bench run ours|nsis SETUP LISTING
//       installs from a copy of SETUP on C: into C:\bench\target, unattended,
//       once the prefix runs the desktop process and the COM service,
//       checks every file of LISTING (name, size, CRC-32) and the uninstaller,
//       and prints "result wall=S peak_ws=B peak_private=B"
//   install_bench limits PAYLOAD
//       prints "limits decode=S write=S": liblzma decoding PAYLOAD alone, and
//       a raw CreateFile/WriteFile/CloseHandle loop writing its files
//
// Memory is read from this side with GetProcessMemoryInfo, sampled while the
// installer runs: Wine reports the private bytes (PagefileUsage) only as a
// current value, so their peak is the largest sample.
#include "engine/DecodingThread.h"
#include "engine/WriteFilesFromLzmaStream.h"
#include "foundation/Handle.h"
#include "foundation/Win.h"

#include <objbase.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char kTarget[] = "C:\\bench\\target";
const char kSetupCopy[] = "C:\\bench\\setup.exe";
const char kConsoleFile[] = "C:\\bench\\console.txt";
constexpr DWORD kSampleMilliseconds = 5;

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&m_start); }
    double Seconds() const {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return double(now.QuadPart - m_start.QuadPart) / double(frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_start;
};

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t Crc32(const unsigned char* bytes, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// ---- embed ----------------------------------------------------------------

void Embed(const std::string& installer, const std::string& payloadPath, const std::string& output) {
    std::vector<unsigned char> payload = ReadAll(payloadPath);
    if (!CopyFileA(installer.c_str(), output.c_str(), FALSE)) Fail("CopyFileA " + output);
    HANDLE update = BeginUpdateResourceA(output.c_str(), FALSE);
    if (!update) Fail("BeginUpdateResourceA");
    WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    BOOL done = UpdateResourceA(update, "BINARY", MAKEINTRESOURCEA(148), english, payload.data(),
                                static_cast<DWORD>(payload.size()));
    if (!EndUpdateResourceA(update, !done) || !done) Fail("UpdateResourceA");
}

// ---- run ------------------------------------------------------------------

struct Measurement {
    DWORD exitCode = 0;
    double seconds = 0;
    SIZE_T peakWorkingSet = 0;
    SIZE_T peakPrivate = 0;
};

void Sample(HANDLE process, Measurement& m) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return;  // the process has just ended
    m.peakWorkingSet = std::max({m.peakWorkingSet, counters.PeakWorkingSetSize, counters.WorkingSetSize});
    m.peakPrivate = std::max({m.peakPrivate, counters.PeakPagefileUsage, counters.PrivateUsage});
}

Measurement RunSetup(std::string commandLine) {
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    UniqueFile console(CreateFileA(kConsoleFile, GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!console) Fail("CreateFileA console");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = console.get();
    startup.hStdError = console.get();
    PROCESS_INFORMATION created = {};
    Measurement m;
    Stopwatch watch;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, "C:\\bench", &startup, &created))
        Fail("CreateProcessA " + commandLine);
    UniqueHandle process(created.hProcess);
    UniqueHandle thread(created.hThread);
    while (WaitForSingleObject(process.get(), kSampleMilliseconds) == WAIT_TIMEOUT) Sample(process.get(), m);
    m.seconds = watch.Seconds();
    GetExitCodeProcess(process.get(), &m.exitCode);
    return m;
}

struct ListedFile {
    std::string name;
    std::uint64_t size;
    std::uint32_t crc;
};

std::vector<ListedFile> ReadListing(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<ListedFile> files;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        ListedFile file;
        std::string crc;
        if (!std::getline(fields, file.name, '\t') || !(fields >> file.size >> crc))
            throw std::runtime_error("bad listing line: " + line);
        file.crc = static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16));
        files.push_back(file);
    }
    return files;
}

void CheckInstallation(const std::vector<ListedFile>& files) {
    for (const ListedFile& file : files) {
        std::string path = std::string(kTarget) + "\\" + file.name;
        std::vector<unsigned char> bytes = ReadAll(path);
        if (bytes.size() != file.size || Crc32(bytes.data(), bytes.size()) != file.crc)
            throw std::runtime_error("installed file differs: " + path);
    }
    std::string uninstaller = std::string(kTarget) + "\\uninst.exe";
    if (GetFileAttributesA(uninstaller.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw std::runtime_error("no uninstaller: " + uninstaller);
}

// A user's system already runs the desktop process and the COM service; a
// fresh prefix starts them for the first program that needs them, which
// would add their start to whichever installer that is.
void StartSystemProcesses() {
    GetDesktopWindow();
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) Fail("CoInitializeEx");
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))))
        link->Release();
    CoUninitialize();
}

int Run(const std::string& kind, const std::string& setup, const std::string& listing) {
    std::vector<ListedFile> files = ReadListing(listing);
    StartSystemProcesses();
    CreateDirectoryA("C:\\bench", nullptr);
    if (!CopyFileA(setup.c_str(), kSetupCopy, FALSE)) Fail("CopyFileA " + setup);
    std::string commandLine = "\"" + std::string(kSetupCopy) + "\" ";
    if (kind == "ours")
        commandLine += std::string("-acceptEULA -installForMeOnly -noDesktopIcon -installDir=") + kTarget;
    else if (kind == "nsis")
        commandLine += std::string("/S /D=") + kTarget;
    else
        throw std::runtime_error("unknown installer kind " + kind);

    Measurement m = RunSetup(commandLine);
    if (m.exitCode != 0) throw std::runtime_error(kind + " installer exited with " + std::to_string(m.exitCode));
    CheckInstallation(files);
    std::printf("result wall=%.4f peak_ws=%llu peak_private=%llu\n", m.seconds,
                static_cast<unsigned long long>(m.peakWorkingSet), static_cast<unsigned long long>(m.peakPrivate));
    return 0;
}

// ---- limits ---------------------------------------------------------------

std::uint64_t DeclaredSize(const std::vector<unsigned char>& stream) {
    std::uint64_t size = 0;
    for (int i = 7; i >= 0; --i) size = (size << 8) | stream[5 + i];
    return size;
}

// Decodes the stream into out, or only times the decoder when out is null
// (each chunk then overwrites the last).
void DecodeStream(const std::vector<unsigned char>& stream, unsigned char* out) {
    constexpr std::size_t chunkSize = WriteFilesFromLzmaStream::kOutputChunkSize;
    LzmaChunkDecoder decoder(stream.data());
    std::unique_ptr<unsigned char[]> scratch(out ? nullptr : new unsigned char[chunkSize]);
    std::uint64_t remaining = DeclaredSize(stream);
    std::size_t position = 13;
    while (remaining != 0) {
        std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, chunkSize));
        std::size_t consumed = 0;
        std::size_t produced = decoder.Decode(stream.data() + position, stream.size() - position,
                                              out ? out : scratch.get(), wanted, consumed);
        position += consumed;
        remaining -= produced;
        if (out) out += produced;
    }
}

struct PayloadFile {
    std::string name;
    const unsigned char* data;
    std::size_t size;
};

// The files of decoded payload messages (type, big-endian length, value).
std::vector<PayloadFile> SplitMessages(const std::vector<unsigned char>& messages) {
    std::vector<PayloadFile> files;
    std::string name;
    for (std::size_t at = 0; at + 5 <= messages.size();) {
        unsigned char type = messages[at];
        std::size_t length = (std::size_t(messages[at + 1]) << 24) | (std::size_t(messages[at + 2]) << 16) |
                             (std::size_t(messages[at + 3]) << 8) | messages[at + 4];
        const unsigned char* value = messages.data() + at + 5;
        if (type == 0x01) name.assign(reinterpret_cast<const char*>(value), length);
        if (type == 0x65) files.push_back({name, value, length});
        at += 5 + length;
    }
    return files;
}

double RawWriteSeconds(const std::vector<PayloadFile>& files) {
    const std::string root = "C:\\bench\\raw";
    CreateDirectoryA("C:\\bench", nullptr);
    Stopwatch watch;
    CreateDirectoryA(root.c_str(), nullptr);
    std::set<std::string> folders;
    for (const PayloadFile& file : files) {
        std::string path = root + "\\" + file.name;
        std::string folder = path.substr(0, path.rfind('\\'));
        if (folders.insert(folder).second) CreateDirectoryA(folder.c_str(), nullptr);
        UniqueFile handle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle) Fail("CreateFileA " + path);
        DWORD written = 0;
        if (file.size && (!WriteFile(handle.get(), file.data, static_cast<DWORD>(file.size), &written, nullptr) ||
                          written != file.size))
            Fail("WriteFile " + path);
    }
    return watch.Seconds();
}

int Limits(const std::string& payloadPath) {
    std::vector<unsigned char> payload = ReadAll(payloadPath);
    Stopwatch decodeWatch;
    DecodeStream(payload, nullptr);
    double decodeSeconds = decodeWatch.Seconds();

    std::vector<unsigned char> messages(static_cast<std::size_t>(DeclaredSize(payload)));
    DecodeStream(payload, messages.data());
    double writeSeconds = RawWriteSeconds(SplitMessages(messages));
    std::printf("limits decode=%.4f write=%.4f\n", decodeSeconds, writeSeconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 4 && args[0] == "embed") {
            Embed(args[1], args[2], args[3]);
            return 0;
        }
        if (args.size() == 4 && args[0] == "run") return Run(args[1], args[2], args[3]);
        if (args.size() == 2 && args[0] == "limits") return Limits(args[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "install_bench: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: install_bench embed INSTALLER PAYLOAD OUTPUT\n"
                 "       install_bench run ours|nsis SETUP LISTING\n"
                 "       install_bench limits PAYLOAD\n");
    return 2;
}
