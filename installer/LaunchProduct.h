// Starts the installed product after an interactive installation.
#pragma once

// Runs "<installation directory>\quillmore.exe" (quoted) with the
// installer's environment and current directory, and does not wait for it.
// Whether it started is not looked at: the installation is complete either way.
void LaunchProduct();
