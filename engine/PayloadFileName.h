// Payload file names are relative to the installation directory and must
// stay inside it.
#pragma once

#include <string>

// False for a name that is absolute ("\x", "/x"), names a drive or a stream
// (any ':'), or has a component that Windows reads as the parent directory
// (".." and its forms with trailing dots or blanks). Both separators count;
// double-byte characters of the ANSI code page are stepped over whole.
bool StaysInsideDirectory(const std::string& name);
