// Deletion at reboot in the lists of both families, each run by a probe that
// Wine presents as a system of that family; and the file system queries.
#include "support/PendingOperations.h"
#include "support/StepFixture.h"

#include "foundation/Win.h"
#include "system/FileSystemQueries.h"

namespace {

std::string Entry(const std::string& text) {
    return text + '\0';
}

std::string Wininit() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\WININIT.INI";
}

// One family's list of requests for the next start, as the system keeps it.
struct Family {
    const char* version;  // Wine's name for a system of the family
    const char* answer;   // the probe's word for the family
    std::string (*read)();
    void (*write)(const std::string&);
    std::string (*deletion)(const std::string& spelling);
    std::string (*rename)(const std::string& from, const std::string& to);
    bool scheduledShort;  // scheduling writes the short form
    std::string others;   // other programs' entries, kept byte for byte
    std::string end;      // what follows the last entry
};

const Family kFamilies[] = {
    {"win7", "nt", ReadPendingOperations, WritePendingOperations,
     [](const std::string& path) { return Entry("\\??\\" + path) + Entry(""); },
     [](const std::string& from, const std::string& to) { return Entry("\\??\\" + from) + Entry("!\\??\\" + to); },
     false, Entry("\\??\\C:\\old\\a.tmp") + Entry("") + Entry("\\??\\C:\\src.new") + Entry("!\\??\\C:\\dst.dll"),
     std::string(1, '\0')},
    {"win98", "9x", [] { return ReadFileBytes(Wininit()); },
     [](const std::string& bytes) { WriteFileBytes(Wininit(), bytes); },
     [](const std::string& path) { return "NUL=" + path + "\r\n"; },
     [](const std::string& from, const std::string& to) { return ShortPath(to) + "=" + ShortPath(from) + "\r\n"; },
     true, "[Rename]\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\GONE.TMP\r\n", ""},
};

class RebootDeletionTest : public EngineTest {
protected:
    void TearDown() override {
        WritePendingOperations("");
        EngineTest::TearDown();
    }

    void BecomeFamily(const Family& family) { ASSERT_EQ(ProbeAs(family.version), family.answer + std::string("\n")); }

    using EngineTest::Probe;
    static std::string Probe(const std::string& command, const std::string& path) {
        return Probe(command + " \"" + path + "\"");
    }
};

}  // namespace

TEST_F(RebootDeletionTest, EachFamilyAddsOneRequestAndTakesBackOnlyTheObjectsDeletions) {
    const std::string file = At("Held Library.dll"), renamed = At("renamed.dll"), gone = At("gone.tmp");
    WriteFileBytes(file, "x");
    WriteFileBytes(renamed, "y");
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.version);
        BecomeFamily(family);
        family.write(family.others + family.end);
        EXPECT_EQ(Probe("schedule", file), "result=1\n");
        EXPECT_EQ(family.read(),
                  family.others + family.deletion(family.scheduledShort ? ShortPath(file) : file) + family.end);
        EXPECT_EQ(Probe("cancel", file), "result=1\n");
        EXPECT_EQ(family.read(), family.others + family.end);
        EXPECT_EQ(Probe("cancel", file), "result=0\n");

        // Every spelling of the object goes, a missing one's by its text;
        // a rename of the object stays.
        family.write(family.others + family.deletion(file) + family.rename(file, renamed) +
                     family.deletion(ShortPath(file)) + family.deletion(gone) + family.end);
        EXPECT_EQ(Probe("cancel", file), "result=1\n");
        EXPECT_EQ(Probe("cancel", gone), "result=1\n");
        EXPECT_EQ(family.read(), family.others + family.rename(file, renamed) + family.end);
    }
}

TEST_F(RebootDeletionTest, RenameSectionTakesItsWholeLimitAndNeverAnOversizedOneBack) {
    const Family& family = kFamilies[1];
    BecomeFamily(family);
    const std::string file = At("Held Library.dll");
    WriteFileBytes(file, "x");
    const std::string line = "NUL=" + ShortPath(file);
    EXPECT_EQ(Probe("schedule", At("missing.dll")), "result=0\n");  // no short path to write
    // The section's size: each line with its terminator, and a final one.
    const struct {
        std::size_t sizeWithTheLine;
        bool holdsTheLine;
        const char* result;
    } cases[] = {{0x7FFF, false, "result=1\n"}, {0x8000, false, "result=0\n"}, {40000, true, "result=0\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizeWithTheLine);
        std::string section = "[Rename]\r\n";
        for (std::size_t i = 0, left = c.sizeWithTheLine - 1 - (line.size() + 1); left > 0; ++i) {
            std::string filler = "NUL=C:\\OTHER\\" + std::to_string(i) + ".";
            filler.resize((left < 200 ? left : 100) - 1, 'X');
            section += filler + "\r\n";
            left -= filler.size() + 1;
        }
        if (c.holdsTheLine) section.insert(section.find('\n') + 1, line + "\r\n");  // where a cut read sees it
        family.write(section);
        EXPECT_EQ(Probe("schedule", file), c.result);
        EXPECT_EQ(Probe("schedule", file), c.result);  // a line already there is not added again
        EXPECT_EQ(Probe("cancel", file), c.result);
        EXPECT_EQ(family.read(), section);
    }
}

TEST_F(RebootDeletionTest, FileSystemQueries) {
    CreateDirectoryA(At("only-subdir").c_str(), nullptr);
    CreateDirectoryA(At("only-subdir\\empty").c_str(), nullptr);
    CreateDirectoryA(At("empty").c_str(), nullptr);
    WriteFileBytes(At("file.txt"), "x");

    struct Case {
        const char* name;
        bool exists;
        bool directory;
        bool empty;
    } cases[] = {
        {"only-subdir", true, true, false},
        {"empty", true, true, true},
        {"file.txt", true, false, true},  // a file cannot be listed as a directory
        {"missing", false, true, true},   // the error value has every bit set
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileExists(At(c.name)), c.exists) << c.name;
        EXPECT_EQ(IsDirectory(At(c.name)), c.directory) << c.name;
        EXPECT_EQ(IsDirectoryEmpty(At(c.name)), c.empty) << c.name;
    }
}
