#include "engine/WriteFilesFromLzmaStream.h"

#include "engine/DecodingThread.h"
#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "engine/InstallerMessages.h"
#include "engine/PayloadFileName.h"
#include "engine/Resources.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Path.h"
#include "foundation/Win.h"
#include "system/FileSystemQueries.h"
#include "system/RebootDeletion.h"
#include "system/SystemInfo.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

namespace {

constexpr std::size_t kStreamHeaderSize = 13;

HANDLE CreateTargetFile(const std::string& path, DWORD disposition) {
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

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
    auto decoder = std::make_unique<LzmaChunkDecoder>(stream);
    std::uint64_t remaining = ReadLittleEndian64(stream + 5);
    if (remaining == ~std::uint64_t(0))
        throw InstallError("WriteFilesFromLzmaStream: end-of-stream marker not supported");

    // Decoding runs beside the parsing and writing on this thread.
    DecodingThread decoding(std::move(decoder), stream + kStreamHeaderSize, size - kStreamHeaderSize, remaining,
                            kOutputChunkSize);
    std::size_t count = 0;
    while (const unsigned char* chunk = decoding.Next(count)) ProcessOutBytes(chunk, count);
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
    // One call in the usual case, a new file. Any failure other than an
    // existing file is left to the second attempt below, so that its error
    // is the one reported, as always.
    UniqueFile file(CreateTargetFile(path, CREATE_NEW));
    bool existed = !file && (GetLastError() == ERROR_FILE_EXISTS || PathExists(path));
    if (existed)
        ConfirmOverwrite(path);  // an existing file is never deleted by the undo
    else
        m_createdFiles.push_back(path);
    ConsoleLine(InstallingLine(path));

    if (!file) file.reset(CreateTargetFile(path, CREATE_ALWAYS));
    if (!file) {
        DWORD code = GetLastError();
        throw InstallError("Error creating target installation file '" + path +
                           "' - CreateFile() failed with the following error: " + DescribeWindowsError(code));
    }
    m_file = std::move(file);
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
