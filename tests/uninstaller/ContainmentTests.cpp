// The uninstaller against lists it must not trust in full: entries outside
// the installation, folder links inside it, a sibling whose list cannot be
// read, and an obstacle that keeps the Uninstall key.
#include "InstalledProduct.h"

#include "foundation/Handle.h"
#include "foundation/Path.h"
#include "installer/PreviousInstallation.h"
#include "support/ExpectedLines.h"
#include "support/Files.h"
#include "support/FolderLink.h"
#include "support/ProcessRunner.h"
#include "support/UninstallFixture.h"
#include "support/UninstallRun.h"
#include "uninstaller/Containment.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace uninstall_test;

namespace {

const char canaryFile[] = "C:\\windows\\canary.txt";
const std::string canaryKey = UninstallKey("Canary");
const std::string foreignProgId = "Vantrel.Quillmore.5.0.Profile";

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
    MakeDirectory("C:\\canary");
    WriteString(HKEY_LOCAL_MACHINE, canaryKey, "DisplayName", "Canary");
    WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.txt", "", "txtfile");
    WriteString(HKEY_LOCAL_MACHINE, In(classesKey, foreignProgId), "", "another version's document");
    const RawValue searchPath = ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH");
    const std::string dir = installDir, unusable = "unusable installation directory \"";
    const struct Row {
        std::string keyword, argument;  // "InstallDir" stands for that value
        std::string reason = "";        // when not "names something outside the installation"
    } rows[] = {
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
        {"-delFile=", dir + "\\...\\...\\...\\windows\\canary.txt"},
        {"-delDir=", dir + "\\...\\...\\...\\canary"},
        {"-delDir=", dir + "\\Ostrel-5.06.\\..\\..\\.."},
        {"-delRegKey=", "HKEY_LOCAL_MACHINE\\" + In(classesKey, foreignProgId)},
        {"-delRegKey=", "HKEY_LOCAL_MACHINE\\" + In(classesKey, ".pmx\\ShellNew")},
        {"-rstFileAssoc=", ".qmp:" + foreignProgId},
        {"-shareResWith=", "Quillmore", "\"-shareResWith=Quillmore\" names the product itself"},
        {"InstallDir", "C:\\", unusable + "C:\\\": it is a root"},
        {"InstallDir", "C:\\windows", unusable + "C:\\windows\": it is or holds the system's folder C:\\windows"},
        {"InstallDir", "C:\\windows\\system32",
         unusable + "C:\\windows\\system32\": it is or holds the system's folder C:\\windows\\system32"},
        {"InstallDir", ".", unusable + ".\": it is no plain full path"},
        {"InstallDir", "%SystemRoot%\\system32", unusable + "%SystemRoot%\\system32\": it holds environment variables"},
    };
    for (const Row& row : rows) {
        Commands list = product.List();
        if (row.keyword != "InstallDir") list.insert(list.begin() + 3, {row.keyword, row.argument});
        UseList(list);
        WriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "InstallDir", row.keyword == "InstallDir" ? row.argument : dir);

        const UninstallOutcome outcome = Uninstall(UninstallString());

        EXPECT_EQ(12u, outcome.result) << row.keyword << row.argument;
        const std::string outside = "\"" + row.keyword + row.argument + "\" names something outside the installation";
        EXPECT_EQ(expected::kLoadFailed + (row.reason.empty() ? outside : row.reason) + "\n", outcome.output);
    }
    EXPECT_EQ("canary", ReadFileBytes(canaryFile));
    EXPECT_TRUE(FileExists("C:\\canary"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, canaryKey));
    EXPECT_EQ("txtfile", ReadString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.txt", ""));
    EXPECT_EQ(searchPath.bytes, ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH").bytes);
    EXPECT_TRUE(PendingDeletions().empty());
    ExpectNothingRemoved(product);

    // Forward slashes, dot components, letter case, a trailing backslash of
    // the installation directory and the product's ProgIDs are its own.
    WriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "InstallDir", dir + "\\");
    Commands list = product.List();
    list.push_back({"-delFile=", "c:/apps/VANTREL/Quillmore/./vantcfg.exe"});
    UseList(list);
    EXPECT_EQ(0u, Uninstall(UninstallString()).result);
    ExpectNothingLeft(product);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, In(classesKey, foreignProgId)));
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
    EXPECT_EQ(expected::kLoadFailed + std::string("-parentPath=") + canaryFile + " is no file of the installation\n",
              outcome.out);
    EXPECT_EQ("canary", ReadFileBytes(canaryFile));
    EXPECT_TRUE(PendingDeletions().empty());
    ExpectNothingRemoved(product);
}

TEST(Containment, LinksOnTheWayOrNamedAreKeptWithTheirTargets) {
    // Registry links: one in a ProgID's tree goes as a link; one in place of
    // a listed key goes as a link and keeps the keys named behind it.
    InstalledProduct registered;
    WriteString(HKEY_LOCAL_MACHINE, In(canaryKey, "child"), "", "canary");
    const std::string manage = In(classesKey, std::string(settingsProgId) + "\\Shell\\Manage");
    MakeRegistryLink(In(classesKey, std::string(profileProgId) + "\\Shell\\Open\\command\\evil"), canaryKey);
    DeleteTree(HKEY_LOCAL_MACHINE, manage);
    MakeRegistryLink(manage, canaryKey);

    const UninstallOutcome outcome = Uninstall(UninstallString());

    EXPECT_EQ(0u, outcome.result) << outcome.output;
    EXPECT_EQ("Kept HKEY_LOCAL_MACHINE\\" + manage + "\\command: a key on its path links elsewhere\n",
              outcome.output.substr(0, outcome.output.find('\n') + 1));
    EXPECT_EQ("canary", ReadString(HKEY_LOCAL_MACHINE, In(canaryKey, "child"), ""));
    ExpectNothingLeft(registered);

    // File system links, each kept in place for the cases after it.
    const std::string dir = installDir;
    const struct Case {
        std::string link, target;  // what is there before is moved aside
        std::string line;          // one of the lines that say what was kept
    } cases[] = {
        {In(dir, "data"), "C:\\canary", "Kept " + dir + "\\data\\canary.txt: a folder on its path links elsewhere"},
        {In(dir, "vantcfg.exe"), "C:\\canary\\canary.txt", "Kept " + dir + "\\vantcfg.exe: it is a link"},
        {In(dir, "Ostrel-5.06"), "C:\\canary\\empty", "Kept directory " + dir + "\\Ostrel-5.06: it is a link"},
        {menuDir, "C:\\canary", "Kept " + In(menuDir, "Quillmore.lnk") + ": a folder on its path links elsewhere"},
        {dir, "C:\\canary", "Kept directory " + dir + ": it is a link"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.link);
        InstalledProduct product;
        MakeDirectory("C:\\canary");
        MakeDirectory("C:\\canary\\empty");
        for (const char* canary : {"C:\\canary\\canary.txt", "C:\\canary\\Quillmore.lnk"})
            WriteFileBytes(canary, "canary");
        MoveFileA(test.link.c_str(), (test.link + ".moved").c_str());
        MakeLink(test.link, test.target);
        CopyFileA(SiblingExecutable("uninst.exe").c_str(), UninstallerPath().c_str(), TRUE);
        Commands list = product.List();
        list.push_back({"-delFile=", In(test.link, "canary.txt")});
        list.push_back({"-delDir=", In(test.link, "empty")});
        UseList(list);

        const UninstallOutcome outcome = Uninstall(UninstallString());

        EXPECT_EQ(0u, outcome.result) << outcome.output;
        EXPECT_NE(std::string::npos, outcome.output.find(test.line + "\n")) << outcome.output;
        EXPECT_EQ("canary", ReadFileBytes("C:\\canary\\canary.txt"));
        EXPECT_EQ("canary", ReadFileBytes("C:\\canary\\Quillmore.lnk"));
        EXPECT_TRUE(FileExists("C:\\canary\\empty"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey()));
    }
}

TEST(Containment, SiblingListThatCannotBeReadKeepsWhatItMayShareAndTheUninstaller) {
    const std::string shared = In(installDir, "pellcfg.exe");
    const std::string siblingKey = UninstallKey("Pellmar");
    struct Case {
        std::string list;  // raw bytes of "UninstallParam"
        DWORD type;
        std::string because;
        bool othersRemoved;  // what the text does not name goes
    } cases[] = {
        {"\"-delFile=" + shared + "\" \"-delEverything=C:\\\"" + std::string(1, '\0'), REG_SZ,
         "its uninstallation command list cannot be parsed: unknown command \"-delEverything=C:\\\"", true},
        {"\x01\x02\x03\x04", REG_DWORD, "reading \"UninstallParam\" of HKEY_LOCAL_MACHINE\\" + siblingKey + ": ",
         false},
        {"\"-delFile=C:/Apps/Vantrel/Quillmore/pellcfg.exe\" \"-delEverything=C:\\\"" + std::string(1, '\0'), REG_SZ,
         "its uninstallation command list cannot be parsed: unknown command \"-delEverything=C:\\\"", true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.because);
        InstalledProduct product;
        WriteRaw(HKEY_LOCAL_MACHINE, siblingKey, "UninstallParam", test.type, test.list);

        const UninstallOutcome outcome = Uninstall(UninstallString());

        EXPECT_EQ(13u, outcome.result);
        const std::string first = "Kept what Pellmar may share: " + test.because;
        EXPECT_EQ(first, outcome.output.substr(0, first.size())) << outcome.output;
        EXPECT_TRUE(FileExists(shared));
        EXPECT_TRUE(FileExists(UninstallerPath()));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey()));
        EXPECT_EQ(!test.othersRemoved, FileExists(In(installDir, "vantcfg.exe")));
        DeleteTree(HKEY_LOCAL_MACHINE, siblingKey);
    }

    // A sound list that names the file by its short name claims it too.
    InstalledProduct product;
    WriteString(HKEY_LOCAL_MACHINE, siblingKey, "UninstallParam", "\"-delFile=" + ShortPathOf(shared) + "\"");
    const UninstallOutcome outcome = Uninstall(UninstallString());
    EXPECT_EQ(0u, outcome.result) << outcome.output;
    EXPECT_NE(std::string::npos, outcome.output.find("Kept " + shared + ": Pellmar uses it\n")) << outcome.output;
    EXPECT_TRUE(FileExists(shared));
    EXPECT_FALSE(FileExists(In(installDir, "vantcfg.exe")));
}

TEST(Containment, HeldInstallationFolderKeepsKeyAndUninstallerAndASecondRunFinishes) {
    InstalledProduct product;
    UninstallOutcome first;
    {
        // Open without delete sharing, as a console whose current directory
        // it is holds it.
        const UniqueFile held(CreateFileA(installDir, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_TRUE(held.valid());
        first = Uninstall(UninstallString());
    }
    EXPECT_EQ(13u, first.result) << first.output;
    EXPECT_TRUE(FileExists(UninstallerPath()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey()));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallString"), UninstallString());

    const UninstallOutcome second = Uninstall(UninstallString());

    EXPECT_EQ(0u, second.result) << second.output;
    ExpectNothingLeft(product);
    EXPECT_FALSE(FileExists(installDir));
}

TEST(Containment, EverySpellingIsRefusedOrReachesTheCanaryInside) {
    InstalledProduct product;
    const std::string dir = installDir;
    // The canary inside first, then one at each folder above it and one in
    // the system's folder; each reached from the installation directory.
    const std::string routes[][2] = {{"canary.txt", In(dir, "canary.txt")},
                                     {"..\\canary.txt", In(vendorDir, "canary.txt")},
                                     {"..\\..\\canary.txt", In(appsDir, "canary.txt")},
                                     {"..\\..\\..\\canary.txt", "C:\\canary.txt"},
                                     {"..\\..\\..\\windows\\canary.txt", canaryFile}};
    for (const auto& route : routes) WriteFileBytes(route[1], route[1]);
    // 12 beginnings x 5 routes x 12 forms: 720 spellings.
    const std::string bases[] = {dir,
                                 "c:/apps/vantrel/quillmore",
                                 ShortPathOf(dir),
                                 dir + "\\.",
                                 dir + "\\\\",
                                 "\\\\?\\" + dir,
                                 "\\\\.\\" + dir,
                                 "\\\\localhost\\C$" + dir.substr(2),
                                 dir + "\\Ostrel-5.06/..",
                                 dir + ".",
                                 dir + " ",
                                 dir + "\\...\\Quillmore"};
    const std::pair<std::string, std::string> forms[] = {{"\\", ""},
                                                         {"/", "."},
                                                         {"\\", " "},
                                                         {"\\", ":x"},
                                                         {"/", "::$DATA"},
                                                         {"\\", "\\"},
                                                         {"/./", ""},
                                                         {"\\CON\\..\\", ""},
                                                         {"\\...\\", ""},
                                                         {"/NUL.txt/../", ""},
                                                         {"\\..\\Quillmore/", ""},
                                                         {"\\COM1\\", ""}};
    const Containment containment = Containment::Of(LoadUninstallInfo("Quillmore"));
    Commands accepted;
    for (const std::string& base : bases) {
        for (const auto& route : routes) {
            for (const auto& form : forms) {
                const std::string spelling = base + form.first + route[0] + form.second;
                std::vector<UninstallCommand> entry{{CommandKeyword::DelFile, spelling}};
                try {
                    containment.Check(entry);
                } catch (const LoadError&) {
                    continue;
                }
                EXPECT_EQ(routes[0][1], ReadFileBytes(spelling)) << spelling;
                EXPECT_EQ(routes[0][1], ReadFileBytes(entry[0].argument)) << spelling;
                accepted.push_back({"-delFile=", spelling});
            }
        }
    }
    EXPECT_LE(10u, accepted.size());

    // The program itself, given every accepted spelling at once.
    Commands list = product.List();
    list.insert(list.begin() + 1, accepted.begin(), accepted.end());
    UseList(list);
    const UninstallOutcome outcome = Uninstall(UninstallString());
    EXPECT_EQ(0u, outcome.result);
    EXPECT_FALSE(FileExists(routes[0][1])) << outcome.output;
    for (size_t i = 1; i < sizeof routes / sizeof routes[0]; ++i) EXPECT_EQ(routes[i][1], ReadFileBytes(routes[i][1]));
    ExpectNothingLeft(product);
}
