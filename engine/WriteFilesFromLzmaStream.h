// Writes the product's files out of the payload: an LZMA-alone stream whose
// decompressed bytes are messages (type byte, 4-byte big-endian length,
// value). Header messages name the file (0x01), mark the uninstaller
// (0x02) or restrict it to a platform family (0x03); data messages (0x65)
// carry its bytes. The stream is decoded in 128 KiB chunks on a thread of its
// own (DecodingThread) while this one parses and writes them, so it is never
// held in memory whole. Everything the step shows or changes happens on the
// caller's thread, in stream order. The undo deletes every file this step
// created, newest first.
#pragma once

#include "engine/InstallStep.h"
#include "foundation/UniqueHandle.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class WriteFilesFromLzmaStream final : public InstallStep {
public:
    static constexpr std::size_t kOutputChunkSize = 0x20000;
    static constexpr std::uint32_t kMaxHeaderSize = 4096;

    WriteFilesFromLzmaStream() = default;
    ~WriteFilesFromLzmaStream();

    // The run on the "BINARY" resource. Throws InstallError on every
    // failure; SilentExit 104 when an existing file may not be overwritten.
    void WriteFiles(int resourceId, const std::string& targetDirectory);
    // The same run on stream bytes in memory.
    void WriteFiles(const unsigned char* stream, std::size_t size, const std::string& targetDirectory);

    // The parser, for callers that produce the decompressed bytes
    // themselves: Begin, any number of ProcessOutBytes, then Finish (which
    // refuses a stream that ends inside a message).
    void Begin(const std::string& targetDirectory);
    void ProcessOutBytes(const unsigned char* bytes, std::size_t count);
    void Finish();

    void ProcessHeader(unsigned char type, const unsigned char* value, std::uint32_t length);
    void ProcessData(const unsigned char* bytes, std::size_t count);

private:
    enum class ParserState { ExpectType, ReadLength, ReadHeaderValue, ReadDataValue };
    enum class GroupState { None, Headers, Data };

    void Decode(const unsigned char* stream, std::size_t size);
    void BeginValue();
    void EndHeader();
    void OpenGroupFile();
    std::string GroupFilePath() const;
    void CloseFile() { m_file.reset(); }

    std::vector<std::string> m_createdFiles;

    ParserState m_state = ParserState::ExpectType;
    unsigned char m_type = 0;
    std::uint32_t m_length = 0;
    std::uint32_t m_remaining = 0;
    std::string m_header;

    GroupState m_group = GroupState::None;
    std::string m_fileName;
    unsigned char m_selector = 3;
    bool m_uninstaller = false;

    std::string m_targetDirectory;
    std::string m_currentPath;
    UniqueFile m_file;
};
