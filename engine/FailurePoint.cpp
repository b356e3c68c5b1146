#include "engine/FailurePoint.h"

#ifdef QUILLMORE_TEST_SEAMS

#include "engine/InstallOptions.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"
#include "foundation/Win.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void WriteToFileNamedBy(const char* variable, const std::string& text) {
    std::string path = Variable(variable);
    if (path.empty()) return;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

void ReplaceUninstallerPath() {
    std::string path = Variable("QUILLMORE_TEST_UNINSTALLER_PATH");
    if (!path.empty()) Options().uninstallerPath = path;
}

void PauseIfAsked() {
    std::string name = Variable("QUILLMORE_TEST_PAUSE");
    if (name.empty()) return;
    UniqueHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + ".ready").c_str()));
    UniqueHandle go(OpenEventA(SYNCHRONIZE, FALSE, (name + ".go").c_str()));
    if (!ready || !go) return;
    SetEvent(ready.get());
    WaitForSingleObject(go.get(), 60000);
}

void FailIfAsked(const std::string& point) {
    const std::string prefix = point + ":";
    std::string failure = Variable("QUILLMORE_TEST_FAIL_AT");
    if (failure.compare(0, prefix.size(), prefix) != 0) return;
    failure = failure.substr(prefix.size());
    if (failure == "install-error") throw InstallError("Failure injected at " + point);
    if (failure == "access-violation") {
        // Read through volatile: the compiler cannot see the null pointer and
        // turn the write into a trap instruction.
        volatile std::uintptr_t address = 0;
        *reinterpret_cast<volatile int*>(address) = 1;
    }
}

}  // namespace

void FailurePoint(const char* name) {
    const std::string point = name;
    if (point == "uninstaller-path") ReplaceUninstallerPath();
    if (point == "uninstaller-file") PauseIfAsked();
    FailIfAsked(point);
}

void StepsEnded() noexcept {
    WriteToFileNamedBy("QUILLMORE_TEST_COMMANDS_FILE", Options().uninstallCommands);
}

#endif
