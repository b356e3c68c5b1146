// The Windows 9x road, in a process that Wine presents as Windows 98: the
// payload variant for that family. The family comes from the version alone.
#include "PayloadBuilder.h"
#include "support/StepFixture.h"

#include "foundation/Win.h"
#include "support/ProcessRunner.h"

#include <algorithm>

namespace {

class Win98ModeTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\engine_probe.exe", 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
        RegCloseKey(key);
        ASSERT_EQ(Probe("family"), "9x\n");
    }

    std::string Probe(const std::string& arguments) {
        std::string out = RunProcess(SiblingExecutable("engine_probe.exe"), arguments).out;
        out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());  // the probe's text mode
        return out;
    }
};

}  // namespace

TEST_F(Win98ModeTest, PayloadWritesThe9xVariant) {
    Bytes content = Messages()
                        .Name("platform.ini")
                        .Selector(1)
                        .Data("nt")
                        .Name("platform.ini")
                        .Selector(2)
                        .Data("9x")
                        .File("both.txt", "both")
                        .bytes();
    Bytes stream = LzmaAlone(content);
    WriteFileBytes(At("payload.lzma"), std::string(stream.begin(), stream.end()));
    CreateDirectoryA(At("target").c_str(), nullptr);

    EXPECT_EQ(Probe("payload \"" + At("payload.lzma") + "\" \"" + At("target") + "\""),
              "Installing " + At("target\\platform.ini") + "\nInstalling " + At("target\\both.txt") +
                  "\ncommands= \"-delFile=" + At("target\\platform.ini") + "\" \"-delFile=" + At("target\\both.txt") +
                  "\"\n");
    EXPECT_EQ(ReadFileBytes(At("target\\platform.ini")), "9x");
    EXPECT_EQ(ReadFileBytes(At("target\\both.txt")), "both");
}
