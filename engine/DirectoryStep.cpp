
#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "engine/InstallerMessages.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Win.h"
#include "system/RebootDeletion.h"

namespace {

bool IsDrive(const std::string& path) {
    return path.size() == 2 && path[1] == ':';
}

// "\\server": the last backslash is the second of the two leading ones.
bool IsServerName(const std::string& path) {
    return path.compare(0, 2, "\\\\") == 0 && path.find('\\', 2) == std::string::npos;
}

bool ExistsAsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void ShowError(const std::string& text, const char* caption) {
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK | MB_ICONERROR);
}

}  // namespace

std::string ParentDirectoryOf(const std::string& path) {
    std::size_t end = path.size();
    std::size_t lastSeparator = std::string::npos;
    for (std::size_t at = 0; at < end; ++at) {
        unsigned char byte = static_cast<unsigned char>(path[at]);
        if (IsDBCSLeadByte(byte) && at + 1 < end) {
            ++at;
        } else if (byte == '\\' && at + 1 < end) {
            lastSeparator = at;
        }
    }
    if (lastSeparator == std::string::npos) return std::string();
    return path.substr(0, lastSeparator);
}

DirectoryStep::DirectoryStep(const std::string& path, bool createParents) : m_path(path) {
    AppendUninstallCommand(CommandKeyword::DelDir, m_path);
    if (createParents) CreateMissingParent();

    // Asked by attributes rather than by a directory search, which misses an
    // existing directory named with a trailing backslash ("C:\Tools\").
    DWORD attributes = GetFileAttributesA(m_path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // What was there before is never removed by a rollback.
        Commit();
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) RefuseNonDirectory();
    } else {
        MakeDirectory();
    }
    CancelDeleteOnReboot(m_path);
}

DirectoryStep::~DirectoryStep() {
    if (ShouldUndo() && m_created) RemoveWithUndoReport(UndoneObject::Directory, m_path);
    // m_parent goes next, so the child is always removed before its parent.
}

void DirectoryStep::Commit() {
    InstallStep::Commit();
    if (m_parent) m_parent->Commit();
}

void DirectoryStep::CreateMissingParent() {
    std::string parent = ParentDirectoryOf(m_path);
    if (parent.empty() || parent == m_path || IsDrive(parent) || IsServerName(parent)) return;
    if (!ExistsAsDirectory(parent)) m_parent = std::make_unique<DirectoryStep>(parent, true);
}

void DirectoryStep::RefuseNonDirectory() {
    const std::string text = TargetIsNoDirectoryText(m_path);
    if (Options().interactive) {
        ShowError(text + ".", kTargetIsNoDirectoryCaption);
        throw SilentExit(InstallerExit::TargetIsNoDirectory);
    }
    ConsoleLine(text + ", aborting");
    throw SilentExit(InstallerExit::DirectoryFailed);
}

void DirectoryStep::MakeDirectory() {
    if (CreateDirectoryA(m_path.c_str(), nullptr)) {
        m_created = true;
        return;
    }
    const std::string text = DirectoryCreationFailedText(m_path, DescribeWindowsError(GetLastError()));
    if (Options().interactive) {
        ShowError(text, kDirectoryCreationFailedCaption);
        throw SilentExit(InstallerExit::DirectoryFailed);
    }
    ConsoleLine(text);
    throw SilentExit(InstallerExit::DirectoryCreationFailed);
}
