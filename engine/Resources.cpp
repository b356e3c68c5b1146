#include "engine/Resources.h"

#include "foundation/Errors.h"
#include "foundation/Win.h"

#include <cryptopp/argnames.h>
#include <cryptopp/files.h>
#include <cryptopp/zlib.h>

ResourceBytes LoadBinaryResource(int id, const char* typeName) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), typeName);
    if (!found) ThrowCallFailure("FindResourceA()");
    HGLOBAL loaded = LoadResource(nullptr, found);
    if (!loaded) ThrowCallFailure("LoadResource()");
    const void* locked = LockResource(loaded);
    if (!locked) ThrowCallFailure("LockResource()");
    DWORD size = SizeofResource(nullptr, found);
    if (size == 0) ThrowCallFailure("SizeofResource()");
    return {static_cast<const unsigned char*>(locked), size};
}

std::string LoadResourceText(int id) {
    ResourceBytes text = LoadBinaryResource(id, "RTF");
    return std::string(reinterpret_cast<const char*>(text.data), text.size);
}

void ExtractResourceToFile(const std::string& targetPath, int id) {
    ResourceBytes compressed = LoadBinaryResource(id, "BINARY");

    auto sink = new CryptoPP::FileSink;
    // The decompressor owns the sink from here on.
    CryptoPP::ZlibDecompressor inflater(sink, false, -1);
    sink->IsolatedInitialize(CryptoPP::MakeParameters(CryptoPP::Name::OutputFileName(), targetPath.c_str())(
        CryptoPP::Name::OutputBinaryMode(), true));

    inflater.Put(compressed.data, compressed.size);
    // Ends the message: the trailer is checked and the file is flushed.
    inflater.MessageEnd(-1);
}
