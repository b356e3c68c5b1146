// Screenshots of windows as PNG files, for a person to look at after a test
// run. They go to the build's artifacts directory, never into the sources.
#pragma once

#include "foundation/Win.h"

#include <string>

// <build directory>\artifacts, next to the bin directory of the test
// executables; created when missing.
std::string ArtifactDirectory();

// Has the window repainted, then copies what the screen shows of it
// (client area and frame) into a PNG file. Throws std::runtime_error when the screen cannot be read or
// the file cannot be written.
void SaveWindowScreenshot(HWND window, const std::string& pngPath);
