// Writes the product's files out of the payload: an LZMA-alone stream whose
// decompressed bytes are the messages PayloadMessageParser reads. The stream
// is decoded in 128 KiB chunks on a thread of its own (DecodingThread) while
// this one parses and writes them, so it is never held in memory whole.
// Everything the step shows or changes happens on the caller's thread, in
// stream order. The undo deletes every file this step created, newest first.
#pragma once

#include "engine/InstallStep.h"
#include "engine/PayloadMessageParser.h"
#include "foundation/Handle.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class WriteFilesFromLzmaStream final : public InstallStep, private PayloadFileSink {
public:
    static constexpr std::size_t kOutputChunkSize = 0x20000;
    static constexpr std::uint32_t kMaxHeaderSize = PayloadMessageParser::kMaxHeaderSize;

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

private:
    void BeginFile(const PayloadFileHeaders& headers) override;
    void WriteBytes(const unsigned char* bytes, std::size_t count) override;
    void EndFile() override { CloseFile(); }

    void Decode(const unsigned char* stream, std::size_t size);
    std::string FilePath(const PayloadFileHeaders& headers) const;
    void CloseFile() { m_file.reset(); }

    PayloadMessageParser m_parser{*this};
    std::vector<std::string> m_createdFiles;

    std::string m_targetDirectory;
    std::string m_currentPath;
    UniqueFile m_file;
};
