// The module's own resources and the extraction of the zlib-compressed
// uninstaller, with the failures of the sink and of the decompressor.
#include "support/StepFixture.h"

#include "engine/Resources.h"
#include "foundation/Errors.h"
#include "support/ProcessRunner.h"

#include <cryptopp/files.h>
#include <cryptopp/zlib.h>

namespace {

class ResourceTest : public EngineTest {};

std::string ResourceFailure(int id, const char* type) {
    try {
        LoadBinaryResource(id, type);
    } catch (const InstallError& e) {
        return e.what();
    }
    return "no failure";
}

}  // namespace

TEST_F(ResourceTest, ExtractedUninstallerEqualsTheInflatedBytesAndReplacesOldContent) {
    std::string target = At("uninst.exe");
    WriteFileBytes(target, std::string(3 << 20, 'o'));  // longer than the uninstaller

    ExtractResourceToFile(target, 149);

    std::string expected = ReadFileBytes(SiblingExecutable(QUILLMORE_UNINSTALLER_EXE));
    ASSERT_GT(expected.size(), 1000u);
    EXPECT_TRUE(ReadFileBytes(target) == expected) << "extracted file differs from the uninstaller";
}

TEST_F(ResourceTest, MissingDirectoryFailsWithTheSinksOpenError) {
    std::string target = At("no-such-dir\\uninst.exe");
    try {
        ExtractResourceToFile(target, 149);
        FAIL() << "extraction into a missing directory succeeded";
    } catch (const CryptoPP::FileSink::OpenErr& e) {
        EXPECT_EQ(std::string(e.what()), "FileSink: error opening file for writing: " + target);
    }
    EXPECT_FALSE(FileExists(At("no-such-dir")));
}

TEST_F(ResourceTest, DamagedStreamFailsWithTheDecompressorsError) {
    try {
        ExtractResourceToFile(At("damaged.bin"), 150);
        FAIL() << "a stream with a wrong checksum was accepted";
    } catch (const CryptoPP::ZlibDecompressor::Adler32Err& e) {
        EXPECT_EQ(std::string(e.what()), "ZlibDecompressor: ADLER32 check error");
    }
}

TEST_F(ResourceTest, TextKeepsZeroBytesAndLookupFailuresNameTheCode) {
    EXPECT_EQ(LoadResourceText(131), std::string("{\\rtf1 a\0\0b}", 12));
    EXPECT_EQ(ResourceFailure(999, "RTF"), "FindResourceA() failed: Windows error 1814: " + SystemText(1814));
    EXPECT_EQ(ResourceFailure(131, "NOSUCHTYPE"), "FindResourceA() failed: Windows error 1813: " + SystemText(1813));
}
