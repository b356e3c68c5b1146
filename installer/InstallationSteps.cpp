#include "installer/InstallationSteps.h"

#include "engine/DirectoryStep.h"
#include "engine/FileStep.h"
#include "engine/InstallationSeams.h"
#include "engine/WriteFilesFromLzmaStream.h"
#include "foundation/JoinPath.h"
#include "foundation/Win.h"
#include "installer/InstallOptions.h"
#include "installer/ProductDefinition.h"

#include <shlobj.h>

#include <memory>
#include <vector>

namespace {

constexpr int kPayloadResource = 148;
constexpr int kUninstallerResource = 149;

// The component subdirectory steps: one group in the rollback order,
// undone in list order among themselves.
class DirectoryStepList {
public:
    DirectoryStepList() = default;
    DirectoryStepList(const DirectoryStepList&) = delete;
    DirectoryStepList& operator=(const DirectoryStepList&) = delete;
    ~DirectoryStepList() {
        for (std::unique_ptr<DirectoryStep>& step : m_steps) step.reset();
    }

    void Add(const std::string& path) { m_steps.push_back(std::make_unique<DirectoryStep>(path, false)); }
    void Commit() {
        for (std::unique_ptr<DirectoryStep>& step : m_steps) step->Commit();
    }

private:
    std::vector<std::unique_ptr<DirectoryStep>> m_steps;
};

}  // namespace

// The steps are locals: an exception leaving this function destroys them
// in reverse order of creation, and that destruction is the rollback. The
// flow has set the shared paths and started the command list.
void RunInstallationSteps(bool /*allUsers*/, bool /*desktopIcon*/) {
    InstallOptions& options = Options();
#ifdef QUILLMORE_TEST_SEAMS
    EndOfStepsReport endOfStepsReport;
    ApplyUninstallerPathSeam();
#endif

    DirectoryStep installDirectory(options.installDir, true);
    DirectoryStepList componentDirectories;
    for (const std::string& name : ComponentSubdirectories)
        componentDirectories.Add(JoinPath(options.installDir, name));

    WriteFilesFromLzmaStream payload;
    payload.WriteFiles(kPayloadResource, options.installDir);

#ifdef QUILLMORE_TEST_SEAMS
    PauseBeforeUninstallerSeam();
#endif
    FileStep uninstaller(kUninstallerResource, std::string());

    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);

    uninstaller.Commit();
    payload.Commit();
    componentDirectories.Commit();
    installDirectory.Commit();
}
