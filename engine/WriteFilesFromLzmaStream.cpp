#include "engine/WriteFilesFromLzmaStream.h"

#include "engine/DecodingThread.h"
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
#include <utility>

namespace {

constexpr std::size_t kStreamHeaderSize = 13;
constexpr unsigned char kNameMessage = 0x01;
constexpr unsigned char kUninstallerMessage = 0x02;
constexpr unsigned char kSelectorMessage = 0x03;
constexpr unsigned char kDataMessage = 0x65;

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
    m_state = ParserState::ExpectType;
    m_group = GroupState::None;
    CloseFile();
    m_selector = 3;
    m_uninstaller = false;
    m_header.reserve(kMaxHeaderSize);
    m_targetDirectory = targetDirectory;
}

void WriteFilesFromLzmaStream::Finish() {
    CloseFile();
    // A declared size that ends inside a message would leave a truncated
    // file behind as if it were complete.
    if (m_state != ParserState::ExpectType)
        throw InstallError("WriteFilesFromLzmaStream: stream ends inside a message");
}

void WriteFilesFromLzmaStream::ProcessOutBytes(const unsigned char* bytes, std::size_t count) {
    while (count > 0) {
        std::size_t used = 1;
        switch (m_state) {
        case ParserState::ExpectType:
            m_type = *bytes;
            m_length = 0;
            m_remaining = 4;
            m_state = ParserState::ReadLength;
            break;
        case ParserState::ReadLength:
            m_length = (m_length << 8) | *bytes;
            if (--m_remaining == 0) BeginValue();
            break;
        case ParserState::ReadHeaderValue:
            used = std::min<std::size_t>(m_remaining, count);
            m_header.append(reinterpret_cast<const char*>(bytes), used);
            m_remaining -= static_cast<std::uint32_t>(used);
            if (m_remaining == 0) EndHeader();
            break;
        case ParserState::ReadDataValue:
            used = std::min<std::size_t>(m_remaining, count);
            ProcessData(bytes, used);
            m_remaining -= static_cast<std::uint32_t>(used);
            if (m_remaining == 0) m_state = ParserState::ExpectType;
            break;
        default:
            throw InstallError("WriteFilesFromLzmaStream::ProcessOutBytes() - invalid state");
        }
        bytes += used;
        count -= used;
    }
}

void WriteFilesFromLzmaStream::BeginValue() {
    m_remaining = m_length;
    if (m_type == kDataMessage) {
        m_state = ParserState::ReadDataValue;
        // An empty value is complete at once, also at the very end of the
        // stream (an empty file is still a file).
        if (m_length == 0) {
            ProcessData(nullptr, 0);
            m_state = ParserState::ExpectType;
        }
        return;
    }
    // Data messages have no size limit; headers must fit the buffer.
    if (m_length > kMaxHeaderSize)
        throw InstallError("WriteFilesFromLzmaStream::ProcessOutBytes(): unsupported header message size " +
                           std::to_string(m_length) + ", maximum: " + std::to_string(kMaxHeaderSize));
    m_header.clear();
    m_state = ParserState::ReadHeaderValue;
    if (m_length == 0) EndHeader();
}

void WriteFilesFromLzmaStream::EndHeader() {
    ProcessHeader(m_type, reinterpret_cast<const unsigned char*>(m_header.data()), m_length);
    m_state = ParserState::ExpectType;
}

void WriteFilesFromLzmaStream::ProcessHeader(unsigned char type, const unsigned char* value, std::uint32_t length) {
    if (m_group != GroupState::Headers) {
        // A new group: the file name stays, the other settings start over.
        CloseFile();
        m_group = GroupState::Headers;
        m_uninstaller = false;
        m_selector = 3;
    }
    switch (type) {
    case kNameMessage:
        m_fileName.assign(reinterpret_cast<const char*>(value), length);
        break;
    case kUninstallerMessage:
        m_uninstaller = true;
        break;
    case kSelectorMessage:
        if (length >= 1) m_selector = value[0];
        break;
    default:
        throw InstallError("WriteFilesFromLzmaStream::ProcessHeader() - unsupported header message type " +
                           std::to_string(type));
    }
}

void WriteFilesFromLzmaStream::ProcessData(const unsigned char* bytes, std::size_t count) {
    if (m_group != GroupState::Data) {
        OpenGroupFile();
        m_group = GroupState::Data;
    }
    if (!m_file || count == 0) return;  // no file: a variant for the other family

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

void WriteFilesFromLzmaStream::OpenGroupFile() {
    unsigned char familyBit = SharedSystemInfo().IsNtFamily() ? 1 : 2;
    if ((m_selector & familyBit) == 0) return;

    std::string path = GroupFilePath();
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
    ConsoleLine("Installing " + path);

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

std::string WriteFilesFromLzmaStream::GroupFilePath() const {
    if (m_uninstaller) return Options().uninstallerPath;
    if (m_fileName.empty()) throw InstallError("WriteFilesFromLzmaStream::ProcessData() - file to write has no name");
    if (!StaysInsideDirectory(m_fileName, [](unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }))
        throw InstallError("WriteFilesFromLzmaStream::ProcessData() - file name '" + m_fileName +
                           "' leads outside the installation directory");
    return JoinPath(m_targetDirectory, m_fileName);
}
