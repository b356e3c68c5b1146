// The payload message parser against a plain whole-buffer reading of the
// same format: the same files, bytes and error, whatever the chunk split.
#include "PayloadEvents.h"

#include "foundation/Errors.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr std::uint32_t kMaxHeader = PayloadMessageParser::kMaxHeaderSize;

struct Outcome {
    std::vector<RecordedFile> files;
    std::optional<std::string> error;
};

[[noreturn]] void Fail(const char* property) {
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
}

std::uint32_t BigEndian32(const unsigned char* bytes) {
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
}

// The format read the simple way, with the whole stream at hand.
Outcome ReadWhole(const unsigned char* stream, std::size_t size) {
    Outcome out;
    PayloadFileHeaders headers;
    bool inHeaders = false;
    bool inData = false;
    auto endFile = [&] {
        if (inData) out.files.back().ended = true;
        inData = false;
    };
    std::size_t at = 0;
    while (at < size) {
        if (size - at < 5) {
            endFile();
            out.error = "WriteFilesFromLzmaStream: stream ends inside a message";
            return out;
        }
        const unsigned char type = stream[at];
        const std::uint32_t length = BigEndian32(stream + at + 1);
        at += 5;
        if (type != 0x65 && length > kMaxHeader) {
            out.error = "WriteFilesFromLzmaStream::ProcessOutBytes(): unsupported header message size " +
                        std::to_string(length) + ", maximum: " + std::to_string(kMaxHeader);
            return out;
        }
        const std::size_t available = std::min<std::size_t>(length, size - at);
        const std::string value(reinterpret_cast<const char*>(stream + at), available);
        if (type == 0x65) {
            // The file begins with its first byte, or at once when empty.
            if (!inData && (available > 0 || length == 0)) {
                inHeaders = false;
                inData = true;
                out.files.push_back({headers, std::string(), false});
            }
            if (inData) out.files.back().data += value;
        } else if (available == length) {
            if (!inHeaders) {
                endFile();
                inHeaders = true;
                headers.uninstaller = false;
                headers.selector = 3;
            }
            if (type == 0x01)
                headers.name = value;
            else if (type == 0x02)
                headers.uninstaller = true;
            else if (type == 0x03) {
                if (!value.empty()) headers.selector = static_cast<unsigned char>(value[0]);
            } else {
                out.error = "WriteFilesFromLzmaStream::ProcessHeader() - unsupported header message type " +
                            std::to_string(type);
                return out;
            }
        }
        at += available;
        if (available < length) {
            endFile();
            out.error = "WriteFilesFromLzmaStream: stream ends inside a message";
            return out;
        }
    }
    endFile();
    return out;
}

// The streaming parser, handed the bytes in pieces of the given sizes
// (cycled; 0 means all that is left).
Outcome Stream(const unsigned char* stream, std::size_t size, const std::vector<std::size_t>& pieces) {
    RecordingSink sink;
    PayloadMessageParser parser(sink);
    Outcome out;
    try {
        parser.Begin();
        std::size_t at = 0;
        for (std::size_t piece = 0; at < size; ++piece) {
            std::size_t wanted = pieces[piece % pieces.size()];
            std::size_t count = wanted == 0 ? size - at : std::min(wanted, size - at);
            parser.ProcessOutBytes(stream + at, count);
            at += count;
        }
        parser.Finish();
    } catch (const InstallError& e) {
        out.error = e.what();
    }
    if (!sink.fault.empty()) Fail(sink.fault.c_str());
    out.files = sink.files;
    return out;
}

bool SameOutcome(const Outcome& a, const Outcome& b) {
    return a.files == b.files && a.error == b.error;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    // The first byte chooses the uneven split; the rest is the stream.
    if (size == 0) return 0;
    const std::size_t seed = data[0];
    ++data;
    --size;

    const Outcome expected = ReadWhole(data, size);
    if (!SameOutcome(Stream(data, size, {0}), expected)) Fail("whole stream differs from the plain reading");
    if (!SameOutcome(Stream(data, size, {1}), expected)) Fail("byte-by-byte stream differs");
    if (!SameOutcome(Stream(data, size, {seed % 7 + 1, seed / 7 + 1, 3}), expected)) Fail("uneven split differs");
    for (const RecordedFile& file : expected.files)
        if (file.headers.name.size() > kMaxHeader) Fail("a name longer than a header message");
    return 0;
}
