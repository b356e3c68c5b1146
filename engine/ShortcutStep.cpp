
#include "engine/InstallStep.h"
#include "engine/InstallerMessages.h"
#include "foundation/Com.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Text.h"
#include "foundation/Win.h"
#include "system/FileSystemQueries.h"
#include "system/RebootDeletion.h"

#include <shlobj.h>

namespace {

struct LinkSettings {
    const std::string& target;
    const std::string& arguments;
    const std::string& workingDirectory;
    const std::string& description;
    const std::string& iconFile;
    int iconIndex;
};

// True when the link file was saved. Throws Norlib::ComException when the
// link object cannot be created.
bool SaveLink(const std::string& linkPath, const LinkSettings& settings) {
    ComInstance<IShellLinkA> link;
    link.Create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA);
    // The setters' results are not looked at: a link that cannot hold a
    // setting still gets saved, and Save reports what really matters.
    link->SetPath(settings.target.c_str());
    if (!settings.arguments.empty()) link->SetArguments(settings.arguments.c_str());
    if (!settings.workingDirectory.empty()) link->SetWorkingDirectory(settings.workingDirectory.c_str());
    if (!settings.description.empty()) link->SetDescription(settings.description.c_str());
    const std::string& iconFile = settings.iconFile.empty() ? settings.target : settings.iconFile;
    link->SetIconLocation(iconFile.c_str(), settings.iconIndex);

    // A link object without IPersistFile counts as a failed save.
    ComInstance<IPersistFile> file;
    file.QueryInterface(link, IID_IPersistFile);
    if (!file.get()) return false;
    return SUCCEEDED(file->Save(MultiByteToWide(linkPath).c_str(), TRUE));
}

// The program an existing link starts; empty when it cannot be read.
std::string LinkTarget(const std::string& linkPath) {
    try {
        ComInstance<IShellLinkA> link;
        link.Create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA);
        ComInstance<IPersistFile> file;
        file.QueryInterface(link, IID_IPersistFile);
        if (!file.get() || FAILED(file->Load(MultiByteToWide(linkPath).c_str(), STGM_READ))) return std::string();
        char target[MAX_PATH + 1] = {};
        return SUCCEEDED(link->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH)) ? target : std::string();
    } catch (const Norlib::ComException&) {
        return std::string();
    }
}

}  // namespace

std::string ShortcutFailureReason(const std::string& errorText) {
    if (!errorText.empty() && errorText.back() == '.') return errorText.substr(0, errorText.size() - 1);
    return errorText;
}

ShortcutStep::ShortcutStep(const std::string& linkPath, const std::string& targetPath, const std::string& arguments,
                           const std::string& workingDirectory, const std::string& description,
                           const std::string& iconFile, int iconIndex)
    : m_linkPath(linkPath) {
    ConsoleLine(CreatingShortcutLine(m_linkPath));

    std::string reason;
    {
        // A failed initialisation is not reported by itself: creating the
        // link object then fails, and that is reported.
        ComInit com;
        // A link of that name that starts something else is the user's own:
        // it is replaced, but neither rollback nor the uninstaller deletes it.
        m_usersOwn = PathExists(m_linkPath) && !SameText(LinkTarget(m_linkPath), targetPath);
        try {
            if (SaveLink(m_linkPath, {targetPath, arguments, workingDirectory, description, iconFile, iconIndex}))
                m_created = true;
            else
                reason = "IPersistFile::Save() failed";
        } catch (const Norlib::ComException& e) {
            reason = ShortcutFailureReason(e.what());
        }
    }

    if (m_created) {
        if (!m_usersOwn) AppendUninstallCommand(CommandKeyword::DelFile, m_linkPath);
        CancelDeleteOnReboot(m_linkPath);
        return;
    }
    DecideOnRecoverableFailure(ShortcutFailure(m_linkPath, reason));
}

ShortcutStep::~ShortcutStep() {
    if (ShouldUndo() && m_created && !m_usersOwn) RemoveWithUndoReport(UndoneObject::Shortcut, m_linkPath);
}
