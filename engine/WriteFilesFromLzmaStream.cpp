#include "engine/WriteFilesFromLzmaStream.h"

#include "engine/FileRules.h"
#include "engine/LzmaChunkDecoder.h"
#include "engine/PayloadFileName.h"
#include "foundation/InstallError.h"
#include "foundation/JoinPath.h"
#include "foundation/Win.h"
#include "foundation/WinErrorMessage.h"
#include "foundation/Console.h"
#include "system/InstallOptions.h"
#include "system/FileSystemQueries.h"
#include "system/RebootDeletion.h"
#include "system/Resources.h"
#include "system/SystemInfo.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

constexpr std::size_t kStreamHeaderSize = 13;

std::uint64_t ReadLittleEndian64(const unsigned char* bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace

WriteFilesFromLzmaStream::~WriteFilesFromLzmaStream() {
    CloseFile();
    if (!ShouldUndo()) return;
    while (!m_createdFiles.empty()) {
        UndoFileCreation(m_createdFiles.back());
        m_createdFiles.pop_back();
    }
}

void WriteFilesFromLzmaStream::WriteFiles(int resourceId, const std::string& targetDirectory) {
    ResourceBytes stream = LoadBinaryResource(resourceId, "BINARY");
    WriteFiles(stream.data, stream.size, targetDirectory);
}

void WriteFilesFromLzmaStream::WriteFiles(const unsigned char* stream, std::size_t size,
                                          const std::string& targetDirectory) {
    try {
        Begin(targetDirectory);
        Decode(stream, size);
        Finish();
    } catch (...) {
        CloseFile();
        throw;
    }
}

void WriteFilesFromLzmaStream::Decode(const unsigned char* stream, std::size_t size) {
    if (size < kStreamHeaderSize) throw InstallError("WriteFilesFromLzmaStream: insufficient stream length");
    LzmaChunkDecoder decoder(stream);
    std::uint64_t remaining = ReadLittleEndian64(stream + 5);
    if (remaining == ~std::uint64_t(0))
        throw InstallError("WriteFilesFromLzmaStream: end-of-stream marker not supported");

    std::unique_ptr<unsigned char[]> chunk(new unsigned char[kOutputChunkSize]);
    std::size_t position = kStreamHeaderSize;
    while (remaining != 0) {
        std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kOutputChunkSize));
        std::size_t consumed = 0;
        std::size_t produced = decoder.Decode(stream + position, size - position, chunk.get(), wanted, consumed);
        position += consumed;
        ProcessOutBytes(chunk.get(), produced);
        remaining -= produced;
    }
}

void WriteFilesFromLzmaStream::Begin(const std::string& targetDirectory) {
    CloseFile();
    m_targetDirectory = targetDirectory;
    m_parser.Begin();
}

void WriteFilesFromLzmaStream::ProcessOutBytes(const unsigned char* bytes, std::size_t count) {
    m_parser.ProcessOutBytes(bytes, count);
}

void WriteFilesFromLzmaStream::Finish() {
    CloseFile();
    m_parser.Finish();
}

void WriteFilesFromLzmaStream::WriteBytes(const unsigned char* bytes, std::size_t count) {
    if (!m_file) return;  // no file: a variant for the other family

    DWORD written = 0;
    if (!WriteFile(m_file.get(), bytes, static_cast<DWORD>(count), &written, nullptr)) {
        DWORD code = GetLastError();
        throw InstallError("Error writing to target installation file '" + m_currentPath +
                           "' - WriteFile() failed with the following error: " + DescribeWindowsError(code));
    }
    if (written != count)
        throw InstallError("Error writing to target installation file '" + m_currentPath + "' - WriteFile() wrote " +
                           std::to_string(written) + " bytes instead of " + std::to_string(count));
}

void WriteFilesFromLzmaStream::BeginFile(const PayloadFileHeaders& headers) {
    unsigned char familyBit = SharedSystemInfo().IsNtFamily() ? 1 : 2;
    if ((headers.selector & familyBit) == 0) return;

    std::string path = FilePath(headers);
    RecordFileUninstallCommand(path);
    if (PathExists(path))
        ConfirmOverwrite(path);  // an existing file is never deleted by the undo
    else
        m_createdFiles.push_back(path);
    ConsoleLine("Installing " + path);

    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        throw InstallError("Error creating target installation file '" + path +
                           "' - CreateFile() failed with the following error: " + DescribeWindowsError(code));
    }
    m_file.reset(file);
    m_currentPath = path;
    // Only now: the pending entry is matched by short path, which a file
    // has only once it exists.
    CancelDeleteOnReboot(path);
}

std::string WriteFilesFromLzmaStream::FilePath(const PayloadFileHeaders& headers) const {
    if (headers.uninstaller) return Options().uninstallerPath;
    const std::string& name = headers.name;
    if (name.empty()) throw InstallError("WriteFilesFromLzmaStream::ProcessData() - file to write has no name");
    if (!StaysInsideDirectory(name, [](unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }))
        throw InstallError("WriteFilesFromLzmaStream::ProcessData() - file name '" + name +
                           "' leads outside the installation directory");
    return JoinPath(m_targetDirectory, name);
}
