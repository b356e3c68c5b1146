// The system's lists of file operations for the next start, shared with
// every other program: PendingFileRenameOperations on the Windows NT family,
// the [Rename] section of WININIT.INI on the others. Only the entries the
// caller picks are taken out; everything else stays byte for byte.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A pair of PendingFileRenameOperations as stored: the source in the
// "\??\" form, the target empty for a deletion ("!" marks a replacing
// rename).
using PendingPairFilter = std::function<bool(const std::wstring& source, const std::wstring& target)>;

// Asks the system to delete the file at the next start (Windows NT family):
// MoveFileEx adds the pair to the value. False when the system refuses or
// lacks the function (the Windows 95 family's kernel32).
bool AddPendingDeletion(const std::string& path);

// Whether the value holds anything: one query, nothing read or parsed (the
// usual answer is no, and callers ask once per file).
bool AnyPendingRenames();

// Removes the pairs `owned` picks. The value is read and written as UTF-16
// and read again right before the write, so that requests other programs
// add meanwhile survive; a value that is not a REG_MULTI_SZ is left alone.
// True when pairs were removed and the rest was written back. Never throws.
bool RemovePendingRenamePairs(const PendingPairFilter& owned);

// The lines of WININIT.INI's [Rename] section. False when the section
// cannot be read whole: a section that does not fit the profile functions
// must never be written back shortened.
bool ReadRenameSection(std::vector<std::string>& lines);
// Replaces the section with the lines (in their order).
bool WriteRenameSection(const std::vector<std::string>& lines);
