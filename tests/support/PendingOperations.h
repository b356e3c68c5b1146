// The raw PendingFileRenameOperations value, for tests that must see it
// byte for byte.
#pragma once

#include <string>
#include <vector>

// The value's bytes; empty when it does not exist.
std::string ReadPendingOperations();
// Writes the bytes as REG_MULTI_SZ; empty bytes delete the value.
void WritePendingOperations(const std::string& bytes);

// A deletion pair (source "\??\" + path, empty target) is pending.
bool PendingDeletionOf(const std::string& path);

// Sources of the deletion pairs, without the "\??\" prefix.
std::vector<std::string> PendingDeletions();
