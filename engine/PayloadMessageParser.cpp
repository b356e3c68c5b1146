#include "engine/PayloadMessageParser.h"

#include "foundation/Errors.h"

#include <algorithm>

namespace {

constexpr unsigned char kNameMessage = 0x01;
constexpr unsigned char kUninstallerMessage = 0x02;
constexpr unsigned char kSelectorMessage = 0x03;
constexpr unsigned char kDataMessage = 0x65;

}  // namespace

void PayloadMessageParser::Begin() {
    m_state = ParserState::ExpectType;
    m_group = GroupState::None;
    m_headers = PayloadFileHeaders();
    m_header.reserve(kMaxHeaderSize);
}

void PayloadMessageParser::Finish() {
    EndGroup();
    // A declared size that ends inside a message would leave a truncated
    // file behind as if it were complete.
    if (m_state != ParserState::ExpectType)
        throw InstallError("WriteFilesFromLzmaStream: stream ends inside a message");
}

void PayloadMessageParser::ProcessOutBytes(const unsigned char* bytes, std::size_t count) {
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
        }
        bytes += used;
        count -= used;
    }
}

void PayloadMessageParser::BeginValue() {
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

void PayloadMessageParser::EndHeader() {
    ProcessHeader(m_type, m_header);
    m_state = ParserState::ExpectType;
}

void PayloadMessageParser::ProcessHeader(unsigned char type, const std::string& value) {
    if (m_group != GroupState::Headers) {
        // A new group: the file name stays, the other settings start over.
        EndGroup();
        m_group = GroupState::Headers;
        m_headers.uninstaller = false;
        m_headers.selector = 3;
    }
    switch (type) {
        case kNameMessage:
            m_headers.name = value;
            break;
        case kUninstallerMessage:
            m_headers.uninstaller = true;
            break;
        case kSelectorMessage:
            if (!value.empty()) m_headers.selector = static_cast<unsigned char>(value[0]);
            break;
        default:
            throw InstallError("WriteFilesFromLzmaStream::ProcessHeader() - unsupported header message type " +
                               std::to_string(type));
    }
}

void PayloadMessageParser::ProcessData(const unsigned char* bytes, std::size_t count) {
    if (m_group != GroupState::Data) {
        m_sink.BeginFile(m_headers);
        m_group = GroupState::Data;
    }
    if (count != 0) m_sink.WriteBytes(bytes, count);
}

void PayloadMessageParser::EndGroup() {
    if (m_group != GroupState::Data) return;
    m_group = GroupState::None;
    m_sink.EndFile();
}
