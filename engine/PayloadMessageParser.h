// The payload's message stream after decoding: type byte, 4-byte big-endian
// length, value. Header messages name the file (0x01), mark the uninstaller
// (0x02) or restrict it to a platform family (0x03); data messages (0x65)
// carry its bytes. A run of header messages followed by a run of data
// messages is one file. Knows nothing of Windows: what a file is, and where
// it goes, is the sink's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct PayloadFileHeaders {
    std::string name;  // kept from the previous group when a group has none
    bool uninstaller = false;
    unsigned char selector = 3;  // bit 0: NT family, bit 1: 9x family
};

class PayloadFileSink {
public:
    // The first data message of a group (also an empty one).
    virtual void BeginFile(const PayloadFileHeaders& headers) = 0;
    // Never called with an empty range.
    virtual void WriteBytes(const unsigned char* bytes, std::size_t count) = 0;
    // A new header group starts, or the stream is finished.
    virtual void EndFile() = 0;

protected:
    ~PayloadFileSink() = default;
};

// Feed it the decoded bytes in any split: Begin, any number of
// ProcessOutBytes, then Finish (which refuses a stream that ends inside a
// message). Every refusal is an InstallError.
class PayloadMessageParser {
public:
    static constexpr std::uint32_t kMaxHeaderSize = 4096;

    explicit PayloadMessageParser(PayloadFileSink& sink) : m_sink(sink) {}

    void Begin();
    void ProcessOutBytes(const unsigned char* bytes, std::size_t count);
    void Finish();

private:
    enum class ParserState { ExpectType, ReadLength, ReadHeaderValue, ReadDataValue };
    enum class GroupState { None, Headers, Data };

    void BeginValue();
    void EndHeader();
    void ProcessHeader(unsigned char type, const std::string& value);
    void ProcessData(const unsigned char* bytes, std::size_t count);
    void EndGroup();

    PayloadFileSink& m_sink;

    ParserState m_state = ParserState::ExpectType;
    unsigned char m_type = 0;
    std::uint32_t m_length = 0;
    std::uint32_t m_remaining = 0;
    std::string m_header;

    GroupState m_group = GroupState::None;
    PayloadFileHeaders m_headers;
};
