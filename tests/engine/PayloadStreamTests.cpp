// The payload step on streams built here: header checks, the message
// parser across chunk boundaries, groups, selectors, the uninstaller
// marker, refused names and the rollback of created files; and the payload
// the packer built for the installer, decoded.
#include "PayloadBuilder.h"
#include "support/PendingOperations.h"
#include "support/StepFixture.h"

#include "engine/DecodingThread.h"
#include "engine/InstallOptions.h"
#include "engine/PayloadMessageParser.h"
#include "engine/WriteFilesFromLzmaStream.h"
#include "foundation/Errors.h"
#include "packer/PayloadManifest.h"

#include <memory>
#include <optional>
#include <sstream>

namespace {

// Runs the step over a stream; returns the InstallError text, if any. The
// step is destroyed uncommitted unless commit is set, so a failure (or
// commit == false) also runs the undo.
std::optional<std::string> Install(const Bytes& stream, const std::string& dir, bool commit = true) {
    WriteFilesFromLzmaStream step;
    try {
        step.WriteFiles(stream.data(), stream.size(), dir);
    } catch (const InstallError& e) {
        return std::string(e.what());
    }
    if (commit) step.Commit();
    return std::nullopt;
}

std::string Repeated(std::size_t size, char seed) {
    std::string text(size, seed);
    for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>(seed + i * 7 % 251);
    return text;
}

class PayloadStreamTest : public EngineTest {};

}  // namespace

TEST_F(PayloadStreamTest, StreamHeaderIsCheckedBeforeAnythingIsWritten) {
    Bytes valid = LzmaAlone(Messages().File("a.txt", "x").bytes());
    Bytes badProperties = valid;
    badProperties[0] = 0xFF;
    Bytes endMarker = valid;
    for (int i = 5; i < 13; ++i) endMarker[i] = 0xFF;
    struct Case {
        const char* what;
        Bytes stream;
        const char* error;
    } cases[] = {
        {"12 bytes", Bytes(valid.begin(), valid.begin() + 12), "WriteFilesFromLzmaStream: insufficient stream length"},
        {"bad properties", badProperties, "LzmaDecodeProperties() failed: incorrect stream properties"},
        {"end marker size", endMarker, "WriteFilesFromLzmaStream: end-of-stream marker not supported"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Install(c.stream, m_dir), std::optional<std::string>(c.error)) << c.what;
        EXPECT_FALSE(FileExists(At("a.txt"))) << c.what;
    }
    EXPECT_EQ(Options().uninstallCommands, "");

    // 13 bytes that declare an empty content: nothing to do, and fine.
    Bytes empty(valid.begin(), valid.begin() + 13);
    for (int i = 5; i < 13; ++i) empty[i] = 0;
    EXPECT_EQ(Install(empty, m_dir), std::nullopt);
}

TEST_F(PayloadStreamTest, MessageBoundaryAtEveryOffsetOfAChunk) {
    const Bytes content = Messages()
                              .File("one.txt", "first file")
                              .Name("two.bin")
                              .Selector(1)
                              .Data(std::string("\0\x01\x65\x02", 4))
                              .File("empty.txt", "")
                              .bytes();
    for (std::size_t split = 0; split <= content.size(); ++split) {
        Options().uninstallCommands.clear();
        {
            WriteFilesFromLzmaStream step;
            step.Begin(m_dir);
            step.ProcessOutBytes(content.data(), split);
            step.ProcessOutBytes(content.data() + split, content.size() - split);
            step.Finish();
            step.Commit();
        }
        ASSERT_EQ(ReadFileBytes(At("one.txt")), "first file") << "split at " << split;
        ASSERT_EQ(ReadFileBytes(At("two.bin")), std::string("\0\x01\x65\x02", 4)) << "split at " << split;
        ASSERT_TRUE(FileExists(At("empty.txt"))) << "split at " << split;
        ASSERT_EQ(Options().uninstallCommands, " \"-delFile=" + At("one.txt") + "\" \"-delFile=" + At("two.bin") +
                                                   "\" \"-delFile=" + At("empty.txt") + "\"")
            << "split at " << split;
        for (const char* name : {"one.txt", "two.bin", "empty.txt"}) DeleteFileA(At(name).c_str());
    }
}

TEST_F(PayloadStreamTest, DecoderChunkBoundaryAtEveryByteOfAMessageHead) {
    // The first group takes 11 bytes plus its data; its size puts the
    // decoder's 128 KiB chunk boundary at byte k of the second group's
    // 11 head bytes (name message of a one-byte name, data message head).
    const std::size_t chunk = WriteFilesFromLzmaStream::kOutputChunkSize;
    for (std::size_t k = 0; k <= 11; ++k) {
        std::string first = Repeated(chunk - 11 - k, 'a');
        Bytes content = Messages().File("a", first).File("b", "second").bytes();
        EXPECT_EQ(Install(LzmaAlone(content), m_dir), std::nullopt) << k;
        EXPECT_EQ(ReadFileBytes(At("a")), first) << k;
        EXPECT_EQ(ReadFileBytes(At("b")), "second") << k;
        DeleteFileA(At("a").c_str());
        DeleteFileA(At("b").c_str());
    }
}

TEST_F(PayloadStreamTest, HeaderSizeLimitAndUnknownHeaderType) {
    // A selector message of exactly 4096 bytes fits; its first byte counts.
    Bytes fits =
        Messages().Name("big.txt").Add(0x03, std::string(1, '\x01') + std::string(4095, 'z')).Data("ok").bytes();
    EXPECT_EQ(Install(LzmaAlone(fits), m_dir), std::nullopt);
    EXPECT_EQ(ReadFileBytes(At("big.txt")), "ok");

    struct Case {
        Bytes content;
        const char* error;
    } cases[] = {
        {Messages().Name(std::string(4097, 'n')).Data("x").bytes(),
         "WriteFilesFromLzmaStream::ProcessOutBytes(): unsupported header message size 4097, maximum: 4096"},
        {Messages().Name("c.txt").Add(0x04, "?").Data("x").bytes(),
         "WriteFilesFromLzmaStream::ProcessHeader() - unsupported header message type 4"},
        {Messages().Data("no name yet").bytes(), "WriteFilesFromLzmaStream::ProcessData() - file to write has no name"},
    };
    for (const Case& c : cases) EXPECT_EQ(Install(LzmaAlone(c.content), m_dir), std::optional<std::string>(c.error));
    EXPECT_FALSE(FileExists(At("c.txt")));
}

// At the limits of what installs: the longest name whose path fits in the
// 259 characters of a Windows path (the packer refuses names that fit under
// no folder), a file whose length takes all four length bytes, and every
// selector value, of which the NT family writes those with bit 0.
TEST_F(PayloadStreamTest, PayloadAtTheLimitsInstallsByteForByte) {
    auto packs = [](const std::string& name) {
        std::istringstream line(name + "\tsource\n");
        try {
            return ParsePayloadManifest(line, "manifest").size() == 1;
        } catch (const std::runtime_error&) {
            return false;
        }
    };
    EXPECT_TRUE(packs("a\\" + std::string(254, 'n'))) << "256 bytes: under C:\\ the path has 259 characters";
    EXPECT_FALSE(packs("a\\" + std::string(255, 'n')));
    EXPECT_FALSE(packs(std::string(256, 'n'))) << "one component of 256 bytes";

    const std::string longest(259 - At("").size(), 'L'), large = Repeated(0x01020304, 'l');
    Messages messages;
    messages.File(longest, "longest").File("large.bin", large);
    for (int selector = 0; selector <= 255; ++selector)
        messages.Name("s" + std::to_string(selector)).Selector(selector).Data(std::to_string(selector));
    ASSERT_EQ(Install(LzmaAlone(messages.bytes()), m_dir), std::nullopt);
    EXPECT_EQ(ReadFileBytes(At(longest)), "longest");
    EXPECT_TRUE(ReadFileBytes(At("large.bin")) == large) << "16,909,060 bytes";
    for (int selector = 0; selector <= 255; ++selector)
        EXPECT_EQ(FileExists(At("s" + std::to_string(selector))), selector % 2 == 1) << selector;
    EXPECT_EQ(ReadFileBytes(At("s255")), "255");
}

TEST_F(PayloadStreamTest, SelectorPicksTheNtVariantAndUninstallerMarkerRedirects) {
    Bytes content =
        Messages().PlatformVariants().Name("ignored-name.exe").Uninstaller().Data("uninstaller bytes").bytes();
    EXPECT_EQ(Install(LzmaAlone(content), m_dir), std::nullopt);
    EXPECT_EQ(ReadFileBytes(At("platform.ini")), "nt");
    EXPECT_EQ(ReadFileBytes(At("both.txt")), "both");
    EXPECT_EQ(ReadFileBytes(At("uninst.exe")), "uninstaller bytes");
    EXPECT_FALSE(FileExists(At("ignored-name.exe")));
    // The skipped variant leaves no command.
    EXPECT_EQ(Options().uninstallCommands, " \"-delFile=" + At("platform.ini") + "\" \"-delFile=" + At("both.txt") +
                                               "\" \"-delFile=" + At("uninst.exe") + "\"");
}

TEST_F(PayloadStreamTest, GroupWithoutNameRewritesThePreviousFileAndMainFileIsMarked) {
    Options().force = true;
    Bytes content = Messages().File("QUILLMORE.EXE", "first").Selector(3).Data("second").bytes();
    EXPECT_EQ(Install(LzmaAlone(content), m_dir), std::nullopt);
    EXPECT_EQ(ReadFileBytes(At("QUILLMORE.EXE")), "second");
    EXPECT_EQ(Options().uninstallCommands,
              " \"-delMainFile=" + At("QUILLMORE.EXE") + "\" \"-delMainFile=" + At("QUILLMORE.EXE") + "\"");

    // Without -force the second write of the same name is refused.
    Options().force = false;
    WriteFilesFromLzmaStream step;
    Bytes stream = LzmaAlone(content);
    DeleteFileA(At("QUILLMORE.EXE").c_str());
    EXPECT_EQ(104, ExitCodeOf([&] { step.WriteFiles(stream.data(), stream.size(), m_dir); }))
        << "the existing file was overwritten";
}

TEST_F(PayloadStreamTest, NamesLeavingTheInstallationDirectoryAreRefused) {
    const char* names[] = {"..\\escape.txt",  "sub\\..\\..\\escape.txt",
                           "../escape.txt",   "...\\escape.txt",
                           ".. \\escape.txt", "\\escape.txt",
                           "/escape.txt",     "C:\\escape.txt",
                           "C:escape.txt",    "\\\\server\\share\\escape.txt",
                           "file.txt:stream"};
    for (const char* name : names) {
        Options().uninstallCommands.clear();
        EXPECT_EQ(Install(LzmaAlone(Messages().File(name, "x").bytes()), At("sub")),
                  "WriteFilesFromLzmaStream::ProcessData() - file name '" + std::string(name) +
                      "' leads outside the installation directory");
        EXPECT_EQ(Options().uninstallCommands, "") << name;
    }
    EXPECT_FALSE(FileExists(At("escape.txt")));
    // Dots inside a name are fine.
    EXPECT_EQ(Install(LzmaAlone(Messages().File("a..b.txt", "x").File(".hidden", "y").bytes()), m_dir), std::nullopt);
}

TEST_F(PayloadStreamTest, DeclaredSizeEndingInsideAMessageRollsBack) {
    Bytes content = Messages().File("whole.txt", "complete").File("cut.txt", "0123456789").bytes();
    for (std::size_t cut : {std::size_t(3), std::size_t(8)}) {
        Bytes stream = LzmaAlone(Bytes(content.begin(), content.end() - cut));
        EXPECT_EQ(Install(stream, m_dir, false),
                  std::optional<std::string>("WriteFilesFromLzmaStream: stream ends inside a message"));
        EXPECT_FALSE(FileExists(At("whole.txt")));
        EXPECT_FALSE(FileExists(At("cut.txt")));
    }
}

TEST_F(PayloadStreamTest, DamagedCompressedDataFailsWithTheDecoderCode) {
    Bytes stream = LzmaAlone(Messages().File("a.txt", Repeated(100000, 'q')).bytes());
    Bytes truncated(stream.begin(), stream.begin() + stream.size() / 2);
    std::optional<std::string> error = Install(truncated, m_dir);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->rfind("LzmaDecode() failed: error ", 0), 0u) << *error;
    EXPECT_FALSE(FileExists(At("a.txt")));
}

TEST_F(PayloadStreamTest, FailureAtTheTenthFileUndoesTheNineBeforeNewestFirst) {
    WriteFileBytes(At("existing.txt"), "kept");
    Options().force = true;
    Messages messages;
    messages.File("existing.txt", "overwritten");
    for (int i = 1; i <= 9; ++i) messages.File("file" + std::to_string(i) + ".txt", "content");
    messages.File("missing-dir\\tenth.txt", "never");

    std::optional<std::string> error = Install(LzmaAlone(messages.bytes()), m_dir);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->rfind("Error creating target installation file '" + At("missing-dir\\tenth.txt") +
                               "' - CreateFile() failed with the following error: Windows error 3",
                           0),
              0u)
        << *error;
    for (int i = 1; i <= 9; ++i) EXPECT_FALSE(FileExists(At("file" + std::to_string(i) + ".txt"))) << i;
    // The file that was there before is overwritten, not removed.
    EXPECT_EQ(ReadFileBytes(At("existing.txt")), "overwritten");
    // The tenth was listed before it failed to open: its deletion could only
    // be scheduled.
    EXPECT_TRUE(PendingDeletionOf(At("missing-dir\\tenth.txt")));
}

namespace {

// Every file of a decoded payload, in stream order.
struct RecordedFiles : PayloadFileSink {
    std::vector<std::pair<PayloadFileHeaders, std::string>> files;
    void BeginFile(const PayloadFileHeaders& headers) override { files.push_back({headers, {}}); }
    void WriteBytes(const unsigned char* bytes, std::size_t count) override {
        files.back().second.append(reinterpret_cast<const char*>(bytes), count);
    }
    void EndFile() override {}
};

}  // namespace

// The payload built into the installer decodes, through the installer's own
// decoder and parser, to exactly the files its manifest names, in order.
TEST(BuiltPayload, DecodesToTheManifestsSourcesByteForByteInOrder) {
    const std::vector<PayloadEntry> entries = ReadPayloadManifest(QUILLMORE_PAYLOAD_DIR "/payload.manifest");
    const std::string stream = ReadFileBytes(QUILLMORE_PAYLOAD_DIR "/payload.lzma");
    ASSERT_GT(stream.size(), 13u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.data());
    std::uint64_t decodedSize = 0;
    for (int i = 12; i >= 5; --i) decodedSize = (decodedSize << 8) | bytes[i];
    DecodingThread decoding(std::make_unique<LzmaChunkDecoder>(bytes), bytes + 13, stream.size() - 13, decodedSize,
                            65536);
    RecordedFiles recorded;
    PayloadMessageParser parser(recorded);
    parser.Begin();
    std::size_t count = 0;
    while (const std::uint8_t* chunk = decoding.Next(count)) parser.ProcessOutBytes(chunk, count);
    parser.Finish();

    ASSERT_EQ(entries.size(), recorded.files.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PayloadFileHeaders& headers = recorded.files[i].first;
        EXPECT_EQ(entries[i].name, headers.name) << i;
        EXPECT_EQ(entries[i].selector == -1 ? 3 : entries[i].selector, headers.selector) << entries[i].name;
        EXPECT_EQ(entries[i].uninstaller, headers.uninstaller) << entries[i].name;
        EXPECT_TRUE(ReadFileBytes("Z:" + entries[i].source) == recorded.files[i].second) << entries[i].name;
    }
}
