// Everything that makes this program the installer of one product version:
// names, version, registry location, usage text, and the shortcuts and file
// associations that the installation steps are given. They are built during
// static initialisation; other files must not use them in initialisers of
// their own globals.
#pragma once

#include <string>
#include <vector>

// The product version, chosen per executable when it is built (Main.cpp):
// the shipped installer and its test variants share every other source.
extern const char BuiltProductVersion[];

extern const std::string ProductShortName;     // "Quillmore"
extern const std::string ProductFullName;      // "Vantrel Quillmore"
extern const std::string ProductVersion;       // set per executable at build time
extern const std::string ProductUninstallKey;  // under HKEY_LOCAL_MACHINE
extern const std::string ProductWebAddress;    // the product's web site
extern const std::string WelcomeText;          // usage text; ends with a line break

// Product files in the installation directory.
extern const char MainExecutableName[];  // "quillmore.exe"
extern const char UninstallerName[];     // "uninst.exe"

// Subdirectories of the installation directory that the payload fills.
extern const std::vector<std::string> ComponentSubdirectories;

// One shortcut: the arguments of a shortcut step, with paths relative to the
// installation directory. The working directory is always the installation
// directory.
struct ShortcutDefinition {
    std::string linkFile;
    std::string targetFile;  // empty: the uninstaller path of the options
    std::string arguments;
    std::string description;
    std::string iconFile;  // empty: the target supplies the icon
    int iconIndex;
};

// In the product's Start Menu folder (the programs folder joined with
// ProductFullName), in the order they are made.
extern const std::vector<ShortcutDefinition> StartMenuShortcuts;
// In the desktop folder, when a desktop shortcut is wanted.
extern const ShortcutDefinition DesktopShortcut;

struct AssociationVerb {
    std::string name;
    std::string commandSuffix;  // joined to the installation directory, after a '"'
};

struct AssociationDefinition {
    std::string progId;
    std::string extension;
    std::string description;
    std::string iconLocation;  // relative to the installation directory, ",index" included
    std::vector<AssociationVerb> verbs;
};

extern const AssociationDefinition ProfileAssociation;
extern const AssociationDefinition SettingsAssociation;

// The sibling server product, whose files and registrations the
// uninstaller keeps.
extern const std::string kSiblingProductName;
// ".pmx" and this version's settings ProgID: the uninstaller gives the
// extension back to its previous owner.
extern const std::string kRestoredSettingsAssociation;

// The uninstaller registration's display name: "... 4.33 (remove only)".
extern const std::string UninstallerDisplayName;

// A verb's command line: '"', then the installation directory joined with
// the suffix, which closes the quoted program path itself.
std::string AssociationCommand(const std::string& installDir, const AssociationVerb& verb);
