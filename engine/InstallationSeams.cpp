#include "engine/InstallationSeams.h"

#ifdef QUILLMORE_TEST_SEAMS

#include "foundation/UniqueHandle.h"
#include "foundation/Win.h"
#include "installer/InstallOptions.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

UninstallCommandsDump::~UninstallCommandsDump() {
    std::string path = Variable("QUILLMORE_TEST_COMMANDS_FILE");
    if (path.empty()) return;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        const std::string& commands = Options().uninstallCommands;
        std::fwrite(commands.data(), 1, commands.size(), file);
        std::fclose(file);
    }
}

void ApplyUninstallerPathSeam() {
    std::string path = Variable("QUILLMORE_TEST_UNINSTALLER_PATH");
    if (!path.empty()) Options().uninstallerPath = path;
}

void PauseBeforeUninstallerSeam() {
    std::string name = Variable("QUILLMORE_TEST_PAUSE");
    if (name.empty()) return;
    UniqueHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
    UniqueHandle go(OpenEventA(SYNCHRONIZE, FALSE, (name + ".go").c_str()));
    if (!ready || !go) return;
    SetEvent(ready.get());
    WaitForSingleObject(go.get(), 60000);
}

#endif
