// The state a complete installation of the product leaves (files,
// directories, Start Menu links, associations, Uninstall key, PATH entry),
// written the way the installer writes it, with the command list that
// undoes it.
#pragma once

#include "support/UninstallFixture.h"

#include <string>
#include <vector>

namespace uninstall_test {

const char appsDir[] = "C:\\Apps";
const char vendorDir[] = "C:\\Apps\\Vantrel";
const char installDir[] = "C:\\Apps\\Vantrel\\Quillmore";
const char menuDir[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Vantrel Quillmore";
const char classesKey[] = "SOFTWARE\\Classes";
const char profileProgId[] = "Vantrel.Quillmore.4.33.Profile";
const char settingsProgId[] = "Vantrel.Quillmore.4.33.Settings";

std::string In(const std::string& directory, const std::string& name);
std::string UninstallKey(const std::string& keyName = "Quillmore");
std::string UninstallerPath();
// The "UninstallString" form: quoted uninstaller path, blank, key, blank.
std::string UninstallString();

class InstalledProduct {
public:
    // Builds the whole installation and registers it.
    InstalledProduct();

    const Commands& List() const { return m_commands; }
    const std::vector<std::string>& Files() const { return m_files; }
    const std::vector<std::string>& Directories() const { return m_directories; }
    // Every key the list deletes (the Uninstall key included).
    const std::vector<std::string>& Keys() const { return m_keys; }

    // Registers the association of another product's ProgID, as a
    // later choice of the user.
    static void RegisterForeignAssociation(const std::string& extension, const std::string& progId);

private:
    void Directory(const std::string& path);
    void File(const std::string& path, bool main = false);
    void Association(const std::string& extension, const std::string& progId, const std::vector<std::string>& verbs);
    void Register();
    void AddKey(const std::string& subkey);

    Commands m_commands{{"-shareResWith=", "Pellmar"}};
    std::vector<std::string> m_files, m_directories, m_keys;
};

}  // namespace uninstall_test
