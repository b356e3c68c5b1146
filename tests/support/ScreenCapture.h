// Screenshots of windows as PNG files, for a person to look at after a test
// run. They go to the build's artifacts directory, never into the sources.
#pragma once

#include "foundation/Win.h"

#include <string>

// <build directory>\artifacts, beside the bin directory of the test
// executables; created when missing.
std::string ArtifactDirectory();

// Has the window repainted, then lets ImageMagick's import copy what the X
// server shows of it into a PNG file in the artifacts directory. Throws
// std::runtime_error when that fails.
void SaveWindowScreenshot(HWND window, const std::string& fileName);
