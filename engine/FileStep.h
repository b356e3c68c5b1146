// Writes one file from a zlib-compressed resource (the uninstaller).
// A file that existed before is overwritten only when allowed and is never
// deleted by the rollback.
#pragma once

#include "engine/InstallStep.h"

#include <string>

class FileStep final : public InstallStep {
public:
    // An empty path stands for Options().uninstallerPath.
    FileStep(int resourceId, const std::string& path);
    ~FileStep();

private:
    void Extract(int resourceId, bool existedBefore);

    std::string m_path;
};
