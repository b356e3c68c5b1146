// The uninstaller against lists it must not trust in full: entries outside
// the installation, folder links inside it, a sibling whose list cannot be
// read, and an obstacle that keeps the Uninstall key.
#include "InstalledProduct.h"

#include "foundation/UniqueHandle.h"
#include "support/Files.h"
#include "support/FolderLink.h"
#include "support/ProcessRunner.h"
#include "support/UninstallFixture.h"
#include "system/UninstallerProcess.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace uninstall_test;

namespace {

const char canaryFile[] = "C:\\windows\\canary.txt";
const std::string canaryKey = UninstallKey("Canary");

struct Outcome {
    std::uint32_t result;
    std::string output;
};

Outcome Uninstall() {
    CapturedOutput output;
    const std::uint32_t result = RunUninstaller(UninstallString());
    return {result, output.Text()};
}

void UseList(const Commands& list) {
    WriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallParam", CommandList(list));
}

void ExpectNothingRemoved(const InstalledProduct& product) {
    for (const std::string& path : product.Files()) EXPECT_TRUE(FileExists(path)) << path;
    for (const std::string& key : product.Keys()) EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, key)) << key;
}

void ExpectNothingLeft(const InstalledProduct& product) {
    for (const std::string& path : product.Files()) EXPECT_FALSE(FileExists(path)) << path;
    for (const std::string& key : product.Keys()) EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key)) << key;
}

}  // namespace

TEST(Containment, ListNamingAnythingOutsideTheInstallationIsRefusedWhole) {
    InstalledProduct product;
    WriteFileBytes(canaryFile, "canary");
    WriteString(HKEY_LOCAL_MACHINE, canaryKey, "DisplayName", "Canary");
    WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.txt", "", "txtfile");
    const Commands outside = {
        {"-delRegKey=", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
        {"-delFile=", canaryFile},
        {"-delRegKey=", "HKEY_LOCAL_MACHINE\\SOFTWARE"},
        {"-delRegKey=", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.txt"},
        {"-delRegKey=", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\\\.qmp"},
        {"-delRegKey=", "HKEY_CLASSES_ROOT\\.qmp"},
        {"-rstFileAssoc=", ".txt:txtfile"},
        {"-delFile=", std::string(installDir) + "\\..\\..\\..\\windows\\canary.txt"},
        {"-delFile=", "\\\\?\\" + std::string(installDir) + "\\quillmore.exe"},
        {"-delFile=", "\\\\server\\share\\quillmore.exe"},
        {"-delFile=", installDir},
        {"-delDir=", "C:\\windows"},
        {"-delFile=", std::string(menuDir) + " Tools\\x.lnk"},
    };
    for (const auto& entry : outside) {
        Commands list = product.List();
        list.insert(list.begin() + 3, entry);
        UseList(list);

        const Outcome outcome = Uninstall();

        EXPECT_EQ(12u, outcome.result) << entry.first << entry.second;
        EXPECT_EQ("Loading uninstallation information failed: \"" + entry.first + entry.second +
                      "\" names something outside the installation\n",
                  outcome.output);
    }
    EXPECT_EQ("canary", ReadFileBytes(canaryFile));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, canaryKey));
    EXPECT_EQ("txtfile", ReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.txt", ""));
    ExpectNothingRemoved(product);

    // Forward slashes, dot components and letter case of the same paths are
    // the installation's own.
    Commands list = product.List();
    list.push_back({"-delFile=", "c:/apps/VANTREL/Quillmore/./vantcfg.exe"});
    UseList(list);
    EXPECT_EQ(0u, Uninstall().result);
    ExpectNothingLeft(product);
}

TEST(Containment, CopyWithAParentPathOutsideTheListRemovesNothing) {
    InstalledProduct product;
    WriteFileBytes(canaryFile, "canary");
    const std::string copy = "C:\\windows\\temp\\uninst-copy.exe";
    ASSERT_TRUE(CopyFileA(UninstallerPath().c_str(), copy.c_str(), FALSE));
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const UniqueHandle ended(CreateEventA(&inheritable, TRUE, TRUE, nullptr));  // the "original", gone
    char parent[32];
    std::snprintf(parent, sizeof parent, "-parent=%08X",
                  static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(ended.get())));

    const ProcessOutcome outcome =
        RunProcess(copy, std::string("Quillmore -unat ") + parent + " \"-parentPath=" + canaryFile + "\"");

    EXPECT_EQ(12u, outcome.exitCode);
    EXPECT_EQ(std::string("Loading uninstallation information failed: -parentPath=") + canaryFile +
                  " is no file of the installation\n",
              outcome.out);
    EXPECT_EQ("canary", ReadFileBytes(canaryFile));
    ExpectNothingRemoved(product);
}

TEST(Containment, FolderLinkInsideTheInstallationIsNotFollowed) {
    InstalledProduct product;
    MakeDirectory("C:\\canary");
    MakeDirectory("C:\\canary\\empty");
    WriteFileBytes("C:\\canary\\canary.txt", "canary");
    const std::string link = In(installDir, "data");
    MakeFolderLink(link, "C:\\canary");
    Commands list = product.List();
    list.push_back({"-delFile=", In(link, "canary.txt")});
    list.push_back({"-delDir=", In(link, "empty")});
    UseList(list);

    const Outcome outcome = Uninstall();

    EXPECT_EQ(0u, outcome.result) << outcome.output;
    EXPECT_NE(std::string::npos,
              outcome.output.find("Kept " + In(link, "canary.txt") + ": a folder on its path links elsewhere\n"))
        << outcome.output;
    EXPECT_NE(std::string::npos,
              outcome.output.find("Kept directory " + In(link, "empty") + ": a folder on its path links elsewhere\n"))
        << outcome.output;
    EXPECT_EQ("canary", ReadFileBytes("C:\\canary\\canary.txt"));
    EXPECT_TRUE(FileExists("C:\\canary\\empty"));
    ExpectNothingLeft(product);
}

TEST(Containment, SiblingListThatCannotBeReadKeepsWhatItMayShareAndTheUninstaller) {
    const std::string shared = In(installDir, "pellcfg.exe");
    const std::string siblingKey = UninstallKey("Pellmar");
    struct Case {
        std::string list;   // raw bytes of "UninstallParam"
        DWORD type;
        std::string because;
        bool othersRemoved;  // what the text does not name goes
    } cases[] = {
        {"\"-delFile=" + shared + "\" \"-delEverything=C:\\\"" + std::string(1, '\0'), REG_SZ,
         "its uninstallation command list cannot be parsed: unknown command \"-delEverything=C:\\\"", true},
        {"\x01\x02\x03\x04", REG_DWORD, "reading \"UninstallParam\" of HKEY_LOCAL_MACHINE\\" + siblingKey + ": ",
         false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.because);
        InstalledProduct product;
        WriteRaw(HKEY_LOCAL_MACHINE, siblingKey, "UninstallParam", test.type, test.list);

        const Outcome outcome = Uninstall();

        EXPECT_EQ(13u, outcome.result);
        const std::string first = "Kept what Pellmar may share: " + test.because;
        EXPECT_EQ(first, outcome.output.substr(0, first.size())) << outcome.output;
        EXPECT_TRUE(FileExists(shared));
        EXPECT_TRUE(FileExists(UninstallerPath()));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey()));
        EXPECT_EQ(!test.othersRemoved, FileExists(In(installDir, "vantcfg.exe")));
        DeleteTree(HKEY_LOCAL_MACHINE, siblingKey);
    }
}

TEST(Containment, HeldInstallationFolderKeepsKeyAndUninstallerAndASecondRunFinishes) {
    InstalledProduct product;
    Outcome first;
    {
        // Open without delete sharing, as a console whose current directory
        // it is holds it.
        const UniqueFile held(CreateFileA(installDir, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_TRUE(held.valid());
        first = Uninstall();
    }
    EXPECT_EQ(13u, first.result) << first.output;
    EXPECT_TRUE(FileExists(UninstallerPath()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey()));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallString"), UninstallString());

    const Outcome second = Uninstall();

    EXPECT_EQ(0u, second.result) << second.output;
    ExpectNothingLeft(product);
    EXPECT_FALSE(FileExists(installDir));
}
