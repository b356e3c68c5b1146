// The one spelling of a path that the uninstaller acts on. The system
// resolves a path more than once on its way to the file system, and some
// names resolve differently each time ("..." comes back from the first
// resolution as ".."; older systems drop a folder name's trailing dots), so
// what was checked is not what the deletion call would reach. Only a path
// that resolution leaves unchanged and that is made of plain names is used.
#pragma once

#include <string>

// The full form of `path` that resolving it again leaves as it is, when
// every name in `path` and in that form is plain: not only dots (except "."
// and ".." in `path`, which resolve away), not ending with a dot or a blank,
// no stream, device name, wildcard or control character, no empty name
// between separators. Empty otherwise.
std::string PlainFullPath(const std::string& path);

// `path` with its short (8.3) names expanded as far as its folders exist;
// the rest as given. Only a path with a '~' can hold a generated short name.
std::string LongPathOf(const std::string& path);

// The path that the system reaches through `path`, links followed and in
// long form; empty when the object does not exist or the system cannot say.
std::string ReachedPath(const std::string& path);
