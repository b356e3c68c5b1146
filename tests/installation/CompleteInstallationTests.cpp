// Complete unattended installations by the real installer: what lands on
// disk, in the program menu, on the desktop, in the registry and on the
// PATH, for an administrator, for the current user only and without a
// desktop icon.
#include "support/ExpectedLines.h"
#include "support/InstallationFixture.h"

#include "foundation/Path.h"
#include "foundation/RegKey.h"
#include "support/ShellLinkReader.h"
#include "support/UninstallFixture.h"
#include "support/Wow64View.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

const std::string kDir = kInstallDir;
const std::string kClasses = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
const std::string kDescription =
    "Vantrel Quillmore 4.33 - a general-purpose SSH client: supports tunneling (manual and via integrated "
    "proxy), SFTP file transfer, remote console access and remote administration of Pellmar.";

struct Variant {
    bool allUsers;
    bool desktopIcon;
    std::string options;
};

// Every file system object below dir, relative, sorted.
void ListTree(const std::string& dir, const std::string& relative, std::set<std::string>& found) {
    WIN32_FIND_DATAA entry;
    UniqueFind search(FindFirstFileA((dir + "\\*").c_str(), &entry));
    if (!search) return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        found.insert(relative + name);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListTree(dir + "\\" + name, relative + name + "\\", found);
    } while (FindNextFileA(search.get(), &entry));
}

// The folders that the program-menu folder step will create, deepest first.
std::vector<std::string> MissingFolders(std::string path) {
    std::vector<std::string> missing;
    while (!FileExists(path)) {
        missing.push_back(path);
        path = path.substr(0, path.rfind('\\'));
    }
    return missing;
}

struct Link {
    const char* file;
    std::string target;
    const char* arguments;
    std::string description;
    int iconIndex;
};

std::vector<Link> StartMenuLinks() {
    const std::string vantcfg = kDir + "\\vantcfg.exe";
    return {
        {"Quillmore.lnk", kDir + "\\quillmore.exe", "", kDescription, 0},
        {"Proxy Settings.lnk", vantcfg, "-proxy",
         "Vantrel Global Proxy Settings - manages your SOCKS or HTTP proxy settings for establishing outgoing SSH "
         "connections.",
         0},
        {"Host Key Manager.lnk", vantcfg, "-hostkeys",
         "Vantrel Global Host Key Management - manages the list of SSH server host keys that you trust.", 1},
        {"Keypair Manager.lnk", vantcfg, "-keypairs",
         "Vantrel Global Keypair Management - manages your SSH user authentication keypairs.", 2},
        {"Uninstall Quillmore.lnk", kDir + "\\uninst.exe", "Quillmore", "Uninstall Vantrel Quillmore 4.33.", 0},
    };
}

void ExpectLink(const std::string& folder, const Link& expected) {
    SCOPED_TRACE(expected.file);
    ShellLinkFields link = ReadShellLink(folder + "\\" + expected.file);
    EXPECT_EQ(expected.target, link.target);
    EXPECT_EQ(expected.arguments, link.arguments);
    EXPECT_EQ(kDir, link.workingDirectory);
    EXPECT_EQ(expected.description, link.description);
    EXPECT_EQ(expected.target, link.iconFile);  // the target supplies the icon
    EXPECT_EQ(expected.iconIndex, link.iconIndex);
}

void ExpectAssociations() {
    const std::string program = "\"" + kDir + "\\";
    const std::string profile = "SOFTWARE\\Classes\\Vantrel.Quillmore.4.33.Profile";
    const std::string settings = "SOFTWARE\\Classes\\Vantrel.Quillmore.4.33.Settings";
    const std::pair<std::string, std::string> keys[] = {
        {"SOFTWARE\\Classes\\.qmp", "Vantrel.Quillmore.4.33.Profile"},
        {profile, "Vantrel Quillmore profile file"},
        {profile + "\\DefaultIcon", kDir + "\\quillmore.exe,1"},
        {profile + "\\Shell", "Open"},
        {profile + "\\Shell\\Open\\command", program + "Quillmore.exe\" -profile=\"%1\""},
        {profile + "\\Shell\\Connect\\command", program + "Quillmore.exe\" -profile=\"%1\" -connectOnStartup"},
        {"SOFTWARE\\Classes\\.pmx", "Vantrel.Quillmore.4.33.Settings"},
        {settings, "Vantrel Pellmar settings file"},
        {settings + "\\DefaultIcon", kDir + "\\pellcfg.exe,3"},
        {settings + "\\Shell", "Manage"},
        {settings + "\\Shell\\Manage\\command", program + "Pellcfg.exe\" \"%1\""},
    };
    for (const auto& key : keys) EXPECT_EQ(key.second, ReadString(HKEY_LOCAL_MACHINE, key.first, "")) << key.first;
}

// The whole list in the order of the steps, ending with the Uninstall key.
std::string ExpectedCommands(const Variant& variant, const std::vector<std::string>& createdMenuFolders) {
    std::string list = "\"-shareResWith=Pellmar\"";
    auto add = [&list](const std::string& keyword, const std::string& argument) {
        list += " \"" + keyword + argument + "\"";
    };
    add("-delDir=", kDir);
    add("-delDir=", kDir + "\\Ostrel-5.06");
    add("-delDir=", kDir + "\\Ostrel-5.11");
    add("-delMainFile=", kDir + "\\quillmore.exe");
    for (const char* file : {"vantcfg.exe", "pellcfg.exe", "Readme.txt", "License.rtf", "Package Contents.rtf",
                             "qmplatform.ini", "Ostrel-5.06\\ostrel.ini", "Ostrel-5.06\\Component.txt",
                             "Ostrel-5.11\\ostrel.ini", "Ostrel-5.11\\Component.txt", "uninst.exe"})
        add("-delFile=", kDir + "\\" + file);
    for (const std::string& folder : createdMenuFolders) add("-delDir=", folder);
    for (const Link& link : StartMenuLinks()) add("-delFile=", StartMenuFolder(variant.allUsers) + "\\" + link.file);
    if (variant.desktopIcon) add("-delFile=", DesktopFolder(variant.allUsers) + "\\Quillmore.lnk");
    const std::string profile = kClasses + "Vantrel.Quillmore.4.33.Profile";
    const std::string settings = kClasses + "Vantrel.Quillmore.4.33.Settings";
    for (const std::string& key :
         {kClasses + ".qmp", profile + "\\Shell\\Open\\command", profile + "\\Shell\\Open",
          profile + "\\Shell\\Connect\\command", profile + "\\Shell\\Connect", profile + "\\Shell", profile,
          kClasses + ".pmx", settings + "\\Shell\\Manage\\command", settings + "\\Shell\\Manage", settings + "\\Shell",
          settings})
        add("-delRegKey=", key);
    add("-rstFileAssoc=", ".pmx:Vantrel.Quillmore.4.33.Settings");
    add("-delRegKey=", std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey);
    return list;
}

// Exactly these values, and nothing else, in the Uninstall key.
void ExpectUninstallKey(const std::string& commands) {
    const std::map<std::string, std::string> expected = {
        {"DisplayName", "Vantrel Quillmore 4.33 (remove only)"},
        {"DisplayIcon", kDir + "\\uninst.exe"},
        {"UninstallString", "\"" + kDir + "\\uninst.exe\" Quillmore "},
        {"UninstallParam", commands},
        {"InstallDir", kDir},
        {"Version", "4.33"},
    };
    std::map<std::string, std::string> found;
    for (const RegEntry& entry : RegKey(HKEY_LOCAL_MACHINE, kUninstallKey).Enumerate(RegKey::Subkeys | RegKey::Values))
        found[entry.name] = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, entry.name);
    EXPECT_EQ(expected, found);
}

// The 32-bit installer and uninstaller agree on the view they use; seen
// from the 64-bit view (as the installed-programs list of 64-bit Windows
// reads both), the Uninstall key of the 32-bit build under WoW64 is in
// WOW6432Node and only there. The associations are where the shell reads
// them, in the 64-bit view: the views share the Classes keys.
void ExpectRegistryViews() {
    const std::string native = std::string(wow64_test::kNativeUninstall) + "Quillmore";
    const std::string redirected = std::string(wow64_test::kWow64Uninstall) + "Quillmore";
    EXPECT_EQ(!wow64_test::UnderWow64(), wow64_test::ExistsIn64BitView(native));
    EXPECT_EQ(wow64_test::UnderWow64(), wow64_test::ExistsIn64BitView(redirected));
    EXPECT_EQ("Vantrel.Quillmore.4.33.Profile",
              wow64_test::DefaultValueInView("SOFTWARE\\Classes\\.qmp", KEY_WOW64_64KEY));
}

void InstallAndCheck(const Variant& variant) {
    const std::string menu = StartMenuFolder(variant.allUsers);
    const std::vector<std::string> createdMenuFolders = MissingFolders(menu);
    const std::string machinePath = ReadString(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH");
    ASSERT_FALSE(ReadRaw(HKEY_CURRENT_USER, kUserEnvironment, "PATH").exists);

    WatchedOutcome run = RunInstallerQuietly(InstallArguments(variant.options), 0);
    std::vector<std::string> lines = Lines(run.process.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(expected::Completed(), lines.back());
    EXPECT_EQ("", run.process.err);

    std::set<std::string> files;
    ListTree(kDir, "", files);
    EXPECT_EQ((std::set<std::string>{"License.rtf", "Ostrel-5.06", "Ostrel-5.06\\Component.txt",
                                     "Ostrel-5.06\\ostrel.ini", "Ostrel-5.11", "Ostrel-5.11\\Component.txt",
                                     "Ostrel-5.11\\ostrel.ini", "Package Contents.rtf", "Readme.txt", "pellcfg.exe",
                                     "qmplatform.ini", "quillmore.exe", "uninst.exe", "vantcfg.exe"}),
              files);

    std::set<std::string> menuEntries;
    ListTree(menu, "", menuEntries);
    EXPECT_EQ(5u, menuEntries.size());
    for (const Link& link : StartMenuLinks()) ExpectLink(menu, link);
    // Exactly one desktop link, in the folder that the options choose.
    if (variant.desktopIcon) ExpectLink(DesktopFolder(variant.allUsers), StartMenuLinks().front());
    EXPECT_EQ(variant.desktopIcon, FileExists(DesktopFolder(variant.allUsers) + "\\Quillmore.lnk"));
    EXPECT_FALSE(FileExists(DesktopFolder(!variant.allUsers) + "\\Quillmore.lnk"));
    EXPECT_FALSE(FileExists(StartMenuFolder(!variant.allUsers)));

    ExpectAssociations();
    ExpectUninstallKey(ExpectedCommands(variant, createdMenuFolders));
    ExpectRegistryViews();

    // The search path: the machine's for all users, else the user's own.
    if (variant.allUsers) {
        RawValue path = ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH");
        EXPECT_EQ(DWORD(REG_EXPAND_SZ), path.type);
        EXPECT_EQ(machinePath + ";" + kDir, ReadString(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH"));
        EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kUserEnvironment, "PATH").exists);
    } else {
        EXPECT_EQ(machinePath, ReadString(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH"));
        EXPECT_EQ(kDir, ReadString(HKEY_CURRENT_USER, kUserEnvironment, "PATH"));
    }
}

}  // namespace

// Wine's user is an administrator: without options the installation is
// for all users.
TEST(CompleteInstallation, AnAdministratorGetsTheCommonFoldersAndTheMachinePath) {
    InstallAndCheck({true, true, ""});
}

TEST(CompleteInstallation, InstallForMeOnlyUsesTheUsersFoldersAndPath) {
    InstallAndCheck({false, true, "-installForMeOnly"});
}

TEST(CompleteInstallation, NoDesktopIconMakesNoDesktopLinkAndNoCommandForIt) {
    InstallAndCheck({true, false, "-noDesktopIcon"});
}
