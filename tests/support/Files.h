// Files and folders as tests arrange and inspect them, directly through the
// system and independently of the code under test.
#pragma once

#include <string>
#include <vector>

// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Replaces the file's content; throws when it cannot be written.
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Creates the folder unless it exists; throws when it cannot.
void MakeDirectory(const std::string& path);
// Removes the folder with everything in it, read-only files included.
void RemoveTree(const std::string& dir);
// The system's short form of an existing path.
std::string ShortPath(const std::string& path);
// The text's lines, without their line breaks.
std::vector<std::string> Lines(const std::string& text);
// Whether the list holds this item.
bool Contains(const std::vector<std::string>& list, const std::string& item);
// The lines that begin with prefix.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix);
// The first line that begins with prefix; empty when none does.
std::string LineStartingWith(const std::string& text, const std::string& prefix);
// A special folder (CSIDL_...) of this prefix.
std::string SpecialFolder(int csidl);
// A new empty file in the temporary folder.
std::string TemporaryFileName(const char* prefix = "tst");
