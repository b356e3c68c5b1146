#include "engine/FileStep.h"

#include "engine/FileRules.h"
#include "engine/InstallerMessages.h"
#include "foundation/Console.h"
#include "system/FileSystemQueries.h"
#include "system/InstallOptions.h"
#include "system/RebootDeletion.h"
#include "system/Resources.h"

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
