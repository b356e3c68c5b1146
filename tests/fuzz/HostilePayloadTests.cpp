// Damaged and hostile payloads put into a copy of the real installer, each
// installed unattended in one Wine prefix: bit flips spread over the
// compressed stream and its header, truncations, and well-compressed
// streams whose messages attack the parser. Every run must end within its
// time limit, with an error exit and nothing left behind (no file inside or
// outside the installation directory, no registry change). A run may
// install only what the installer's own checks cannot tell from a good
// payload: it decodes into well-formed messages (a flip in the dictionary
// size; LZMA-alone carries no check, so a declared size that ends between
// two messages is one too). Such a run installs nothing but the payload's
// files and what a normal installation adds, and is listed in the output.
#include "engine/PayloadBuilder.h"
#include "support/SystemSnapshot.h"
#include "support/ProcessRunner.h"
#include "support/Registry.h"
#include "support/UninstallFixture.h"

#include "engine/LzmaChunkDecoder.h"
#include "engine/PayloadFileName.h"
#include "engine/PayloadMessageParser.h"
#include "foundation/InstallError.h"
#include "foundation/Win.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>

namespace {

const char kInstallDir[] = "C:\\Program Files\\Vantrel Quillmore";
const char kCopy[] = "C:\\hostile-installer.exe";
const int kPayloadResource = 148;

struct Case {
    std::string label;
    Bytes payload;
};

Bytes PayloadOf(const std::string& installer) {
    HMODULE module = LoadLibraryExA(installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) throw std::runtime_error("cannot load " + installer);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kPayloadResource), "BINARY");
    const auto* bytes = found ? static_cast<const unsigned char*>(LockResource(LoadResource(module, found))) : nullptr;
    Bytes payload = bytes ? Bytes(bytes, bytes + SizeofResource(module, found)) : Bytes();
    FreeLibrary(module);
    if (payload.empty()) throw std::runtime_error("no payload in " + installer);
    return payload;
}

void ReplacePayload(const std::string& installer, Bytes payload) {
    HANDLE update = BeginUpdateResourceA(installer.c_str(), FALSE);
    if (!update) throw std::runtime_error("BeginUpdateResourceA failed");
    const BOOL done = UpdateResourceA(update, "BINARY", MAKEINTRESOURCEA(kPayloadResource),
                                      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), payload.data(),
                                      static_cast<DWORD>(payload.size()));
    if (!EndUpdateResourceA(update, !done) || !done) throw std::runtime_error("UpdateResourceA failed");
}

// The payload decoded whole as the installer decodes it; nothing when the
// decoder refuses it.
std::optional<Bytes> Decoded(const Bytes& payload) {
    try {
        if (payload.size() < 13) return std::nullopt;
        std::uint64_t remaining = 0;
        for (int i = 12; i >= 5; --i) remaining = (remaining << 8) | payload[i];
        LzmaChunkDecoder decoder(payload.data());
        Bytes messages;
        Bytes chunk(1 << 17);
        std::size_t position = 13;
        while (remaining != 0) {
            std::size_t consumed = 0;
            const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, chunk.size()));
            const std::size_t produced =
                decoder.Decode(payload.data() + position, payload.size() - position, chunk.data(), wanted, consumed);
            position += consumed;
            messages.insert(messages.end(), chunk.begin(), chunk.begin() + produced);
            remaining -= produced;
        }
        return messages;
    } catch (const InstallError&) {
        return std::nullopt;
    }
}

class NameCheck final : public PayloadFileSink {
public:
    bool allInside = true;
    void BeginFile(const PayloadFileHeaders& headers) override {
        if (!headers.uninstaller && !StaysInsideDirectory(headers.name)) allInside = false;
    }
    void WriteBytes(const unsigned char*, std::size_t) override {}
    void EndFile() override {}
};

// What the installer's own checks pass: the parser takes the messages and
// every name stays inside the directory.
bool WellFormed(const Bytes& messages) {
    NameCheck names;
    PayloadMessageParser parser(names);
    try {
        parser.Begin();
        parser.ProcessOutBytes(messages.data(), messages.size());
        parser.Finish();
    } catch (const InstallError&) {
        return false;
    }
    return names.allInside;
}

std::vector<Case> DamagedCopies(const Bytes& original) {
    std::vector<Case> cases;
    std::mt19937 random(433);
    const std::size_t body = original.size() - 13;
    for (int i = 0; i < 140; ++i) {
        // Spread over the whole stream, so that late flips reach files
        // written near the end.
        Bytes flipped = original;
        const std::size_t at = 13 + (body * i) / 140 + random() % (body / 140 + 1);
        flipped[at] ^= static_cast<unsigned char>(1u << (random() % 8));
        cases.push_back({"bit flip at " + std::to_string(at), flipped});
    }
    for (int i = 0; i < 20; ++i) {
        Bytes flipped = original;
        const std::size_t at = random() % 13;
        flipped[at] ^= static_cast<unsigned char>(1u << (random() % 8));
        cases.push_back({"header bit flip at " + std::to_string(at), flipped});
    }
    for (int i = 0; i < 60; ++i) {
        const std::size_t length = (original.size() * i) / 60;
        cases.push_back({"truncated to " + std::to_string(length), Bytes(original.begin(), original.begin() + length)});
    }
    return cases;
}

Bytes operator+(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Streams that decode cleanly but attack the message parser, each after a
// file that the rollback must take away again.
std::vector<Case> HostileStreams() {
    std::vector<Case> cases;
    auto add = [&cases](const std::string& label, const Messages& messages) {
        cases.push_back({label, LzmaAlone(Messages().File("first.txt", "written first").bytes() + messages.bytes())});
    };
    for (const char* name : {"..\\escape.txt", "sub\\..\\..\\escape.txt", "../escape.txt", "...\\escape.txt",
                             ".. \\escape.txt", "\\escape.txt", "/escape.txt", "C:\\escape.txt", "C:escape.txt",
                             "\\\\server\\share\\escape.txt", "file.txt:stream", "..", "sub\\.. .\\..\\x"})
        add(std::string("name ") + name, Messages().File(name, "x"));
    add("header of 4097 bytes", Messages().Name(std::string(4097, 'n')).Data("x"));
    add("unknown header type", Messages().Name("c.txt").Add(0x04, "?").Data("x"));
    add("unknown header type 0x64", Messages().Add(0x64, "").Data("x"));
    add("empty name", Messages().Name("").Selector(3).Data("x"));
    const Bytes cut = Messages().File("first.txt", "written first").File("cut.txt", "0123456789").bytes();
    cases.push_back({"cut inside a data message", LzmaAlone(Bytes(cut.begin(), cut.end() - 4))});
    const Bytes content = Messages().File("a.txt", "aaaa").File("b.txt", "bbbb").bytes();
    for (std::uint64_t declared : {content.size() - 3, content.size() - 9, content.size() + 1, content.size() + 4096})
        cases.push_back({"declared size " + std::to_string(declared), LzmaAlone(content, declared)});
    Bytes endMarker = LzmaAlone(content);
    for (int i = 5; i < 13; ++i) endMarker[i] = 0xFF;
    cases.push_back({"end-of-stream marker size", endMarker});
    Bytes hugeDictionary = LzmaAlone(content);
    for (int i = 1; i < 5; ++i) hugeDictionary[i] = 0xFF;
    cases.push_back({"dictionary of 4 GiB", hugeDictionary});
    return cases;
}

// "+ path: ..." lines of new files and folders.
std::set<std::string> NewPaths(const std::string& difference) {
    std::set<std::string> paths;
    std::istringstream lines(difference);
    for (std::string line; std::getline(lines, line);)
        if (line.compare(0, 4, "+ C:") == 0) paths.insert(line.substr(2, line.find(": ", 2) - 2));
    return paths;
}

void RemoveInstallation() {
    std::string from = std::string(kInstallDir) + '\0';
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationA(&operation);
    DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
}

DWORD Install() {
    ProcessOptions options;
    options.timeoutMs = 120000;  // a hang fails the run through Wait's exception
    return RunProcess(kCopy, std::string("-acceptEULA -installForMeOnly -noDesktopIcon \"-installDir=") +
                                 kInstallDir + "\"", options)
        .exitCode;
}

}  // namespace

TEST(HostilePayloads, EveryDamagedPayloadEndsInAnErrorAndLeavesNothingBehind) {
    const std::string installer = SiblingExecutable("QuillmoreInstaller.exe");
    const Bytes original = PayloadOf(installer);
    const std::optional<Bytes> originalMessages = Decoded(original);
    ASSERT_TRUE(originalMessages && WellFormed(*originalMessages));
    ASSERT_TRUE(CopyFileA(installer.c_str(), kCopy, FALSE));

    // The unchanged payload installs; what it adds outside the directory is
    // what any installation adds.
    SystemSnapshot baseline = SystemSnapshot::Take();
    ASSERT_EQ(Install(), 0u);
    const std::set<std::string> normalAdditions = NewPaths(Difference(baseline, SystemSnapshot::Take()));
    RemoveInstallation();
    baseline = SystemSnapshot::Take();

    std::vector<Case> cases = DamagedCopies(original);
    for (Case& hostile : HostileStreams()) cases.push_back(std::move(hostile));
    ASSERT_GE(cases.size(), 200u);

    std::map<DWORD, int> exitCodes;
    std::string undetectable;
    for (const Case& c : cases) {
        ReplacePayload(kCopy, c.payload);
        const DWORD exitCode = Install();
        const std::string difference = Difference(baseline, SystemSnapshot::Take());
        ++exitCodes[exitCode];
        if (exitCode != 0) {
            EXPECT_EQ(difference, "") << c.label << ", exit code " << exitCode;
            if (!difference.empty()) {  // one leftover must not fail every later case
                RemoveInstallation();
                baseline = SystemSnapshot::Take();
            }
            continue;
        }
        const std::optional<Bytes> messages = Decoded(c.payload);
        EXPECT_TRUE(messages && WellFormed(*messages)) << c.label << " installed";
        undetectable += "\n  installed: " + c.label +
                        (messages == originalMessages ? " (decodes to the original messages)" : " (other messages)");
        for (const std::string& path : NewPaths(difference))
            EXPECT_TRUE(path.rfind(kInstallDir, 0) == 0 || normalAdditions.count(path)) << c.label << ": " << path;
        RemoveInstallation();
        baseline = SystemSnapshot::Take();
    }
    std::string outcomes;
    for (const auto& [code, count] : exitCodes)
        outcomes += " exit " + std::to_string(code) + ": " + std::to_string(count) + ";";
    std::printf("hostile payloads: %zu runs;%s%s\n", cases.size(), outcomes.c_str(), undetectable.c_str());
}
