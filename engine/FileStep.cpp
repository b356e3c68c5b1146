
#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "engine/InstallerMessages.h"
#include "engine/Resources.h"
#include "foundation/Console.h"
#include "system/FileSystemQueries.h"
#include "system/RebootDeletion.h"

#include <algorithm>

FileStep::FileStep(int resourceId, const std::string& path) : m_path(path.empty() ? Options().uninstallerPath : path) {
    RecordFileUninstallCommand(m_path);
    bool existedBefore = PathExists(m_path);
    if (existedBefore) {
        Commit();
        ConfirmOverwrite(m_path);
    }
    ConsoleLine(InstallingLine(m_path));
    Extract(resourceId, existedBefore);
    CancelDeleteOnReboot(m_path);
}

FileStep::~FileStep() {
    if (ShouldUndo()) UndoFileCreation(m_path);
}

void FileStep::Extract(int resourceId, bool existedBefore) {
    try {
        ExtractResourceToFile(m_path, resourceId);
    } catch (...) {
        // This step never came to exist, so its destructor will not run:
        // a new file left half written would outlive the rollback (and keep
        // its directory from being removed).
        if (!existedBefore && !Options().noRollback && PathExists(m_path)) UndoFileCreation(m_path);
        throw;
    }
}

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace

void RecordFileUninstallCommand(const std::string& path) {
    bool isMain = EqualIgnoringAsciiCase(path, Options().mainExecutablePath);
    AppendUninstallCommand(isMain ? CommandKeyword::DelMainFile : CommandKeyword::DelFile, path);
}

void ConfirmOverwrite(const std::string& path) {
    DecideOnRecoverableFailure(FileExistsFailure(path));
}

void UndoFileCreation(const std::string& path) {
    RemoveWithUndoReport(UndoneObject::File, path);
}
