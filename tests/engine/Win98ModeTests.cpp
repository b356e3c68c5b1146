// The Windows 9x road, in a process that Wine presents as Windows 98: the
// [Rename] section of WININIT.INI for deletion at reboot, and the payload
// variant for that family. The family comes from the version alone.
#include "PayloadBuilder.h"
#include "support/PendingOperations.h"
#include "support/StepFixture.h"

#include "foundation/Win.h"
#include "support/ProcessRunner.h"

#include <algorithm>

namespace {

std::string Wininit() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\WININIT.INI";
}

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

TEST_F(Win98ModeTest, RenameSectionGetsOneLinePerObjectAndKeepsOtherLinesInOrder) {
    std::string file = At("Held Library.dll");
    WriteFileBytes(file, "x");
    std::string line = "NUL=" + ShortPath(file);
    WriteFileBytes(Wininit(), "[Rename]\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\GONE.TMP\r\n");

    EXPECT_EQ(Probe("schedule \"" + file + "\""), "result=1\n");
    EXPECT_EQ(Probe("schedule \"" + file + "\""), "result=1\n");  // already there: no second line
    EXPECT_EQ(ReadFileBytes(Wininit()), "[Rename]\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\GONE.TMP\r\n" + line + "\r\n");
    // Nothing went to the NT family's registry value, although Wine would
    // have accepted MoveFileEx there.
    EXPECT_EQ(ReadPendingOperations(), "");

    EXPECT_EQ(Probe("cancel \"" + file + "\""), "result=1\n");
    EXPECT_EQ(ReadFileBytes(Wininit()), "[Rename]\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\GONE.TMP\r\n");
    EXPECT_EQ(Probe("cancel \"" + file + "\""), "result=0\n");
    // An object that does not exist has no short path: nothing to schedule.
    EXPECT_EQ(Probe("schedule \"" + At("missing.dll") + "\""), "result=0\n");
}

TEST_F(Win98ModeTest, RenameSectionTooLargeToReadWholeIsNeverWrittenBack) {
    std::string file = At("Held Library.dll");
    WriteFileBytes(file, "x");
    WriteFileBytes(At("other.dll"), "y");
    std::string ini = "[Rename]\r\n";
    for (int i = 0; ini.size() < 40000; ++i) ini += "NUL=C:\\OTHER\\FILE" + std::to_string(i) + ".TMP\r\n";
    ini += "NUL=" + ShortPath(file) + "\r\n";
    WriteFileBytes(Wininit(), ini);

    EXPECT_EQ(Probe("cancel \"" + file + "\""), "result=0\n");
    EXPECT_EQ(Probe("schedule \"" + At("other.dll") + "\""), "result=0\n");
    EXPECT_EQ(ReadFileBytes(Wininit()), ini);
}

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
