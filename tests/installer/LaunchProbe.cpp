// Stands in for the installed product in the launch test: writes how it was
// started (command line, current directory, one inherited environment
// variable) to the file that QUILLMORE_LAUNCH_REPORT names, then lingers a
// little so that the test can tell whether the starter waited for it.
#include "foundation/Win.h"

#include <cstdio>
#include <cstdlib>

int main() {
    const char* reportPath = std::getenv("QUILLMORE_LAUNCH_REPORT");
    if (!reportPath) return 2;
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    std::FILE* report = std::fopen(reportPath, "wb");
    if (!report) return 3;
    std::fprintf(report, "%s\n%s\n", GetCommandLineA(), directory);
    std::fclose(report);
    Sleep(2000);
    return 0;
}
