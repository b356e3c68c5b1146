// The shell: shell32 bound at run time, the notification the installation
// sends it, and its folders, found by one rule in both programs: the shell
// function (trusted from Internet Explorer 4.71.1712 on), then the registry
// values that name the folder, and never an exception.
#pragma once

#include "foundation/DllLoader.h"
#include "foundation/Win.h"

#include <optional>
#include <string>

// The folder with the CSIDL_ value `id`: SHGetSpecialFolderPathA's answer,
// else for the folders the registry names (programs, desktops, Program
// Files) the Shell Folders value, then the User Shell Folders value
// (expanded). An empty registry value is an answer; nullopt when nothing
// knows the folder. `create` lets the shell create a missing folder.
std::optional<std::string> ShellFolder(int id, bool create = false);

// The installer's folders: ShellFolder, and a last resort when nothing
// knows the folder.
std::string ProgramFilesFolder();    // last resort "C:\Program Files"
std::string DesktopFolder();         // last resort empty
std::string CommonDesktopFolder();   // last resort DesktopFolder()
std::string ProgramsFolder();        // last resort empty
std::string CommonProgramsFolder();  // last resort ProgramsFolder()

// Functions of shell32, bound at run time, and the notifications the
// installation sends the shell. shell32 is loaded from the
// system directory once and kept for the life of the process: as a
// load-time import it would be resolved, with its own dependencies, before
// the entry point could restrict the DLL search path, so a DLL planted
// beside the installer could be loaded.
// Null when shell32 cannot be loaded.
HMODULE Shell32();

// Null when shell32 or the function is missing.
template <typename Function>  // decltype(&::SHChangeNotify)
Function ShellFunction(const char* name) {
    return BoundFunction<Function>(Shell32(), name);
}

// SHChangeNotify(SHCNE_ASSOCCHANGED): file associations changed.
void NotifyAssociationsChanged();
