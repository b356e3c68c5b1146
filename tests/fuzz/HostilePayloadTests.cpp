// Damaged installers, each run unattended in one Wine prefix. Every damage
// is first tried as a download would bring it: payloads swapped into a copy
// of the real installer (bit flips over the compressed stream and its
// header, truncations, streams whose messages attack the parser), bits
// flipped anywhere outside the PE headers, the file cut short or grown.
// The installer's check of its own file must refuse each with its exact
// line, before anything changes. Then each swapped payload is tried again
// with the digest recorded anew, as a build that packed it would ship it:
// the decoder and the parser must refuse it with their own line and leave
// nothing behind. Such a run may install only what decodes to exactly the
// original payload's messages, or, for a stream made here, to well-formed
// messages that the installer cannot tell from a smaller payload; those
// are listed in the output.
#include "engine/PayloadBuilder.h"
#include "support/Files.h"
#include "support/MessageBoxDriver.h"
#include "support/ProcessRunner.h"
#include "support/Registry.h"
#include "support/SystemSnapshot.h"
#include "support/UninstallFixture.h"

#include "engine/DecodingThread.h"
#include "engine/PayloadFileName.h"
#include "engine/PayloadMessageParser.h"
#include "foundation/Errors.h"
#include "foundation/Win.h"
#include "installer/ImageDigest.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
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
        // At least one byte: updating a resource with none deletes it.
        const std::size_t length = std::max<std::size_t>(1, (original.size() * i) / 60);
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

enum class Damage { Flipped, FlippedInCode, Resized };

struct Outcome {
    DWORD exitCode;
    std::string out;
    std::string difference;
};

class HostileRuns {
public:
    explicit HostileRuns(const std::string& installer) : m_original(ReadFileBytes(installer)) {
        WriteFileBytes(kCopy, m_original);
        m_baseline = SystemSnapshot::Take();
        const Outcome normal = Install();
        EXPECT_EQ(normal.exitCode, 0u) << normal.out;
        m_normalAdditions = NewPaths(normal.difference);
        Reset();
    }
    Outcome Install() {
        ProcessOptions options;
        options.timeoutMs = 120000;  // a hang fails the run through Wait's exception
        try {
            ProcessOutcome run = RunProcess(
                kCopy, std::string("-acceptEULA -installForMeOnly -noDesktopIcon \"-installDir=") + kInstallDir + "\"",
                options);
            return {run.exitCode, run.out, Changes()};
        } catch (const ProcessTimedOut&) {
            throw;
        } catch (const std::runtime_error& notStarted) {  // the system's loader refused the file
            return {notStartedExitCode, notStarted.what(), Changes()};
        }
    }
    // One leftover must not fail every later case.
    void Reset() {
        RemoveInstallation();
        m_baseline = SystemSnapshot::Take();
    }
    // Refused by the installer's own check: exact line twice, nothing changed.
    // A flipped bit anywhere in the file may instead make the system refuse to start
    // it (the check never runs); that too leaves nothing and is listed. A flip in
    // the code that runs before the check (start-up, the check itself) can end the
    // run before any check could: never with success, never changing anything.
    void ExpectRefusedAsDamaged(const std::string& label, Damage damage = Damage::Resized) {
        const std::string line = DamagedLine();
        const Outcome run = Install();
        if (run.exitCode == notStartedExitCode && damage != Damage::Resized) {
            m_notStarted += "\n  the system did not start it: " + label;
        } else if (damage == Damage::FlippedInCode && run.exitCode != 150u) {
            EXPECT_NE(run.exitCode, 0u) << label;
            m_notStarted +=
                "\n  ended by damaged code before its check (exit " + std::to_string(run.exitCode) + "): " + label;
        } else {
            EXPECT_EQ(run.exitCode, 150u) << label;
            EXPECT_EQ(run.out, line + line) << label;
        }
        ExpectUnchanged(run, label);
    }
    // With the digest recorded anew: the decoder's or the parser's own line,
    // or an installation of no more than a normal one adds.
    void ExpectRecordedAgainHandled(const Case& c, bool installMayHappen) {
        std::string image = ReadFileBytes(kCopy);
        Bytes bytes(image.begin(), image.end());
        ASSERT_EQ(RecordImageDigest(bytes, Sha256OfSpans), "") << c.label;
        WriteFileBytes(kCopy, std::string(bytes.begin(), bytes.end()));
        const Outcome run = Install();
        EXPECT_EQ(run.out.find("std::exception caught"), std::string::npos) << c.label << ": " << run.out;
        if (run.exitCode == 0 && installMayHappen) {
            m_installed += "\n  installed with its digest recorded again: " + c.label;
            for (const std::string& path : NewPaths(run.difference))
                EXPECT_TRUE(path.rfind(kInstallDir, 0) == 0 || m_normalAdditions.count(path))
                    << c.label << ": " << path;
            Reset();
            return;
        }
        EXPECT_EQ(run.exitCode, 150u) << c.label << ": " << run.out;
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_GE(lines.size(), 2u) << c.label;
        const std::string& last = lines.back();
        EXPECT_EQ(lines[lines.size() - 2], last) << c.label;
        EXPECT_TRUE(IsDecoderOrParserLine(last)) << c.label << ": " << last;
        ExpectUnchanged(run, c.label);
    }
    // The line that refuses the copy as it is now.
    std::string DamagedLine() const {
        const std::size_t found = ReadFileBytes(kCopy).size();
        std::string line = std::string("Installation error: The installer file ") + kCopy + " is damaged";
        if (found != m_original.size())
            line += " (expected " + std::to_string(m_original.size()) + " bytes, found " + std::to_string(found) +
                    " bytes)";
        return line + ". Please obtain it again.\n";
    }
    std::string Changes() const { return Difference(m_baseline, SystemSnapshot::Take()); }
    const std::string& original() const { return m_original; }
    std::string Listed() const { return m_installed + m_notStarted; }

private:
    static bool IsDecoderOrParserLine(const std::string& line) {
        for (const char* text :
             {"LzmaDecode() failed: error ", "LzmaDecodeProperties() failed: incorrect stream properties",
              "WriteFilesFromLzmaStream", "Error creating target installation file '"})
            if (line.rfind(std::string("Installation error: ") + text, 0) == 0) return true;
        return false;
    }
    void ExpectUnchanged(const Outcome& run, const std::string& label) {
        EXPECT_EQ(run.difference, "") << label << ", exit code " << run.exitCode;
        if (!run.difference.empty()) Reset();
    }

    std::string m_original;
    std::set<std::string> m_normalAdditions;
    SystemSnapshot m_baseline;
    std::string m_installed;
    std::string m_notStarted;
    static constexpr DWORD notStartedExitCode = ~DWORD(0);
};

// Each damage of the whole file, handed over one at a time: one bit flipped
// at each of `flips` offsets spread evenly behind the PE headers, then the
// file cut short and grown.
// Whether the file offset lies in a section the loader maps executable.
bool InCode(const std::string& image, std::size_t at) {
    const auto word = [&image](std::size_t offset, std::size_t size) {
        std::uint32_t value = 0;
        std::memcpy(&value, &image[offset], size);
        return value;
    };
    const std::size_t coffHeader = word(0x3c, 4) + 4;
    const std::size_t sections = coffHeader + 20 + word(coffHeader + 16, 2);
    for (std::uint32_t i = 0; i < word(coffHeader + 2, 2); ++i) {
        const std::size_t section = sections + 40 * i;
        const std::size_t start = word(section + 20, 4);
        if (at >= start && at < start + word(section + 16, 4)) return (word(section + 36, 4) & 0x20000000) != 0;
    }
    return false;
}

template <typename Try>
void ForEachWholeFileDamage(const std::string& image, int flips, Try tryDamaged) {
    const std::size_t optionalHeader = *reinterpret_cast<const std::uint32_t*>(&image[0x3c]) + 24;
    const std::size_t headers = *reinterpret_cast<const std::uint32_t*>(&image[optionalHeader + 60]);
    const std::size_t stride = (image.size() - headers) / flips;
    std::mt19937 random(4331);
    for (int i = 0; i < flips; ++i) {
        const std::size_t at = headers + stride * i + random() % stride;
        const int bit = static_cast<int>(random() % 8);
        std::string flipped = image;
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << bit));
        tryDamaged("bit " + std::to_string(bit) + " flipped at " + std::to_string(at), flipped,
                   InCode(image, at) ? Damage::FlippedInCode : Damage::Flipped);
    }
    for (std::size_t cut : {std::size_t(1), std::size_t(4096)}) {
        tryDamaged("cut short by " + std::to_string(cut), image.substr(0, image.size() - cut), Damage::Resized);
        tryDamaged(std::to_string(cut) + " bytes appended", image + std::string(cut, '\x5a'), Damage::Resized);
    }
}

}  // namespace

TEST(HostilePayloads, EveryDamagedInstallerIsRefusedAndLeavesNothingBehind) {
    const std::string installer = SiblingExecutable("QuillmoreInstaller.exe");
    const Bytes original = PayloadOf(installer);
    const std::optional<Bytes> originalMessages = Decoded(original);
    ASSERT_TRUE(originalMessages && WellFormed(*originalMessages));
    HostileRuns runs(installer);

    ForEachWholeFileDamage(runs.original(), 200,
                           [&runs](const std::string& label, const std::string& image, Damage damage) {
                               WriteFileBytes(kCopy, image);
                               runs.ExpectRefusedAsDamaged(label, damage);
                           });

    std::vector<Case> cases = DamagedCopies(original);
    const std::size_t damagedCopies = cases.size();
    for (Case& hostile : HostileStreams()) cases.push_back(std::move(hostile));
    ASSERT_GE(cases.size(), 200u);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        WriteFileBytes(kCopy, runs.original());
        ReplacePayload(kCopy, c.payload);
        runs.ExpectRefusedAsDamaged(c.label);
        const std::optional<Bytes> messages = Decoded(c.payload);
        const bool installMayHappen =
            i < damagedCopies ? messages == originalMessages : messages && WellFormed(*messages);
        runs.ExpectRecordedAgainHandled(c, installMayHappen);
    }
    std::printf("damaged installers: %zu payloads, 204 whole files;%s\n", cases.size(), runs.Listed().c_str());
}

// The same check in few runs, for the 32-bit lane.
TEST(HostilePayloads, AnInstallerFlippedCutOrGrownRefusesItself) {
    HostileRuns runs(SiblingExecutable("QuillmoreInstaller.exe"));
    ForEachWholeFileDamage(runs.original(), 2,
                           [&runs](const std::string& label, const std::string& image, Damage damage) {
                               WriteFileBytes(kCopy, image);
                               runs.ExpectRefusedAsDamaged(label, damage);
                           });
    // Interactive: the same text in a message box, once on the console.
    WriteFileBytes(kCopy, runs.original() + "x");
    ChildProcess interactive(kCopy, "");
    const HWND box = uninstall_test::WaitForMessageBox("Installation Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(uninstall_test::MessageBoxText(box) + "\n", runs.DamagedLine());
    uninstall_test::Answer(box, IDOK);
    const ProcessOutcome run = interactive.Wait();
    EXPECT_EQ(run.exitCode, 150u);
    EXPECT_EQ(run.out, runs.DamagedLine());
    EXPECT_EQ(runs.Changes(), "");
}
