#include "installer/LaunchProduct.h"

#include "engine/InstallOptions.h"
#include "foundation/JoinPath.h"
#include "foundation/UniqueHandle.h"
#include "foundation/Win.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::size_t kCommandLineLimit = 260;

}  // namespace

void LaunchProduct() {
    std::string commandLine = "\"" + JoinPath(Options().installDir, "quillmore.exe") + "\"";
    // CreateProcessA may write into the command line; a longer one is cut.
    char buffer[kCommandLineLimit + 1] = {};
    commandLine.copy(buffer, std::min(commandLine.size(), kCommandLineLimit));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        UniqueHandle process(started.hProcess);
        UniqueHandle thread(started.hThread);
    }
}
