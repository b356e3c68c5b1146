// Removing a file system object during rollback, with its report: what is
// being removed, why it failed, and the fallback to deletion at reboot.
#pragma once

#include <string>

enum class UndoneObject { Directory, File, Shortcut };

// Never throws: a failure is reported (console line, and a message box in
// interactive mode) and the object is scheduled for deletion at reboot.
void RemoveWithUndoReport(UndoneObject kind, const std::string& path);
