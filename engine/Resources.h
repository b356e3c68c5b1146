// The resources of the installer's own module: the payload, the compressed
// uninstaller and the rich-text documents.
#pragma once

#include <cstdint>
#include <string>

struct ResourceBytes {
    const unsigned char* data;  // read-only, valid for the life of the process
    std::uint32_t size;
};

// Throws InstallError "<call>() failed: " + DescribeWindowsError(code) when
// the resource cannot be found, loaded or locked, or has no bytes.
ResourceBytes LoadBinaryResource(int id, const char* typeName);

// Exactly the bytes of the "RTF" resource (zero bytes included).
std::string LoadResourceText(int id);

// Inflates the zlib stream of the "BINARY" resource into the file, which is
// created or truncated. The exceptions of the file sink (cannot open or
// write) and of the decompressor (damaged stream) pass unchanged; a partly
// written file stays behind for the caller to deal with.
void ExtractResourceToFile(const std::string& targetPath, int id);
