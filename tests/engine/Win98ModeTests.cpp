// The Windows 9x road, in a process that Wine presents as Windows 98: the
// payload variant for that family. The family comes from the version alone.
#include "PayloadBuilder.h"
#include "support/StepFixture.h"

#include "foundation/Win.h"

namespace {

class Win98ModeTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_EQ(ProbeAs("win98"), "9x\n");
    }
};

}  // namespace

TEST_F(Win98ModeTest, PayloadWritesThe9xVariant) {
    Bytes content = Messages().PlatformVariants().bytes();
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
