// Folders of the shell, found by one rule in both programs: the shell
// function (trusted from Internet Explorer 4.71.1712 on), then the registry
// values that name the folder, and never an exception.
#pragma once

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
