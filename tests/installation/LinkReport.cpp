// Prints the shortcuts of an installation as the shell reads them: every
// .lnk in the product's program-menu folders (per user and common) and on
// both desktops. Used by scripts/run-main.sh to show what was installed.
#include "foundation/Handle.h"
#include "foundation/Win.h"
#include "support/Files.h"
#include "support/ShellLinkReader.h"

#include <shlobj.h>

#include <cstdio>
#include <exception>
#include <string>

namespace {

void PrintLinksIn(const std::string& folder) {
    WIN32_FIND_DATAA found;
    UniqueFind search(FindFirstFileA((folder + "\\*.lnk").c_str(), &found));
    if (!search) return;
    do {
        std::string path = folder + "\\" + found.cFileName;
        try {
            ShellLinkFields link = ReadShellLink(path);
            std::printf(
                "%s\n  target:      %s\n  arguments:   %s\n  working dir: %s\n  description: %s\n"
                "  icon:        %s,%d\n",
                path.c_str(), link.target.c_str(), link.arguments.c_str(), link.workingDirectory.c_str(),
                link.description.c_str(), link.iconFile.c_str(), link.iconIndex);
        } catch (const std::exception& e) {
            std::printf("%s\n  %s\n", path.c_str(), e.what());
        }
    } while (FindNextFileA(search.get(), &found));
}

}  // namespace

int main() {
    PrintLinksIn(SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\Vantrel Quillmore");
    PrintLinksIn(SpecialFolder(CSIDL_PROGRAMS) + "\\Vantrel Quillmore");
    PrintLinksIn(SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY));
    PrintLinksIn(SpecialFolder(CSIDL_DESKTOPDIRECTORY));
    return 0;
}
