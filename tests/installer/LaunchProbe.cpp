// Stands in for the installed product in the launch test, and for the
// program that opens the web page in the keyboard test: writes how it was
// started (command line, current directory, one inherited environment
// variable) to the file that QUILLMORE_LAUNCH_REPORT names, then runs until
// the test creates <report>.end (a minute at most) and ends by creating
// <report>.ended: a starter that waited for it would return only after that.
#include "foundation/Win.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
    const char* reportPath = std::getenv("QUILLMORE_LAUNCH_REPORT");
    if (!reportPath) return 2;
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    std::FILE* report = std::fopen(reportPath, "wb");
    if (!report) return 3;
    std::fprintf(report, "%s\n%s\n", GetCommandLineA(), directory);
    std::fclose(report);
    const std::string path = reportPath;
    for (int i = 0; i < 1200 && GetFileAttributesA((path + ".end").c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    if (std::FILE* ended = std::fopen((path + ".ended").c_str(), "wb")) std::fclose(ended);
    return 0;
}
