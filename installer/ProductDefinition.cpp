#include "installer/ProductDefinition.h"

#include "contract/UninstallContract.h"
#include "foundation/Path.h"

// Defined in dependency order: a constant's initialiser uses only those above it.
const std::string ProductShortName = kProductKeyName;
const std::string ProductFullName = kProductFullName;
const std::string ProductVersion = BuiltProductVersion;
const std::string ProductUninstallKey = JoinPath(kUninstallKeyParent, ProductShortName);
const std::string ProductWebAddress = "https://www.vantrel.example/quillmore/";

const std::string WelcomeText = "This program will install Vantrel Quillmore " + ProductVersion +
                                "\n"
                                "on the machine it is being run on.\n"
                                "\n"
                                "Quillmore is an SSH2 client for Windows 98/Me/NT/2000/XP/2003/\n"
                                "Vista/2008/7. Please visit " +
                                ProductWebAddress +
                                " for more information.\n"
                                "\n"
                                "If this program is run without command line options, installation\n"
                                "will be performed in interactive mode. If run with command line\n"
                                "options, installation will be performed in unattended mode.\n"
                                "\n"
                                "Usage (unattended mode only):\n"
                                " QuillmoreInstaller -installDir=directory\n"
                                "                    [-acceptEULA] [-force] [-noRollback]\n"
                                "                    [-installForMeOnly] [-noDesktopIcon]\n";

const char MainExecutableName[] = "quillmore.exe";
const char UninstallerName[] = "uninst.exe";

const std::vector<std::string> ComponentSubdirectories = {"Ostrel-5.06", "Ostrel-5.11"};

namespace {

const std::string kProductShortcutDescription =
    ProductFullName + " " + ProductVersion +
    " - a general-purpose SSH client: supports tunneling (manual and via integrated proxy), SFTP file "
    "transfer, remote console access and remote administration of Pellmar.";

}  // namespace

const std::vector<ShortcutDefinition> StartMenuShortcuts = {
    {kMainShortcutName, MainExecutableName, "", kProductShortcutDescription, "", 0},
    {"Proxy Settings.lnk", "vantcfg.exe", "-proxy",
     "Vantrel Global Proxy Settings - manages your SOCKS or HTTP proxy settings for establishing outgoing "
     "SSH connections.",
     "", 0},
    {"Host Key Manager.lnk", "vantcfg.exe", "-hostkeys",
     "Vantrel Global Host Key Management - manages the list of SSH server host keys that you trust.", "", 1},
    {"Keypair Manager.lnk", "vantcfg.exe", "-keypairs",
     "Vantrel Global Keypair Management - manages your SSH user authentication keypairs.", "", 2},
    {"Uninstall Quillmore.lnk", "", ProductShortName, "Uninstall Vantrel Quillmore " + ProductVersion + ".", "", 0},
};

const ShortcutDefinition DesktopShortcut = {
    kMainShortcutName, MainExecutableName, "", kProductShortcutDescription, "", 0};

const AssociationDefinition ProfileAssociation = {
    kProgIdPrefix + ProductVersion + kProfileProgIdSuffix,
    kProfileExtension,
    "Vantrel Quillmore profile file",
    "quillmore.exe,1",
    {{"Open", "Quillmore.exe\" -profile=\"%1\""}, {"Connect", "Quillmore.exe\" -profile=\"%1\" -connectOnStartup"}},
};

const AssociationDefinition SettingsAssociation = {
    kProgIdPrefix + ProductVersion + kSettingsProgIdSuffix,
    kSettingsExtension,
    "Vantrel Pellmar settings file",
    "pellcfg.exe,3",
    {{"Manage", "Pellcfg.exe\" \"%1\""}},
};

const std::string kSiblingProductName = "Pellmar";
const std::string kRestoredSettingsAssociation = SettingsAssociation.extension + ":" + SettingsAssociation.progId;

const std::string UninstallerDisplayName = ProductFullName + " " + ProductVersion + " (remove only)";

std::string AssociationCommand(const std::string& installDir, const AssociationVerb& verb) {
    return "\"" + JoinPath(installDir, verb.commandSuffix);
}
