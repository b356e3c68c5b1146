#include "PayloadEncoder.h"

#include <lzma.h>

#include <sys/stat.h>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

constexpr unsigned char kName = 0x01;
constexpr unsigned char kUninstaller = 0x02;
constexpr unsigned char kSelector = 0x03;
constexpr unsigned char kData = 0x65;
constexpr std::size_t kBufferSize = 1 << 16;

std::uint64_t FileSize(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) throw std::runtime_error("cannot read " + path);
    return static_cast<std::uint64_t>(info.st_size);
}

std::uint64_t ContentSize(const std::vector<PayloadEntry>& entries) {
    std::uint64_t total = 0;
    for (const PayloadEntry& entry : entries) {
        if (!entry.name.empty()) total += 5 + entry.name.size();
        if (entry.uninstaller) total += 5;
        if (entry.selector >= 0) total += 6;
        std::uint64_t size = FileSize(entry.source);
        if (size > 0xFFFFFFFFu) throw std::runtime_error(entry.source + " is larger than a data message");
        total += 5 + size;
    }
    return total;
}

class LzmaWriter {
public:
    LzmaWriter(const std::string& path, std::uint32_t dictionarySize, std::uint64_t uncompressedSize)
        : m_out(path, std::ios::binary | std::ios::trunc) {
        if (!m_out) throw std::runtime_error("cannot write " + path);
        lzma_options_lzma options;
        lzma_lzma_preset(&options, 9);
        options.dict_size = dictionarySize;
        options.ext_flags = 0;  // no end marker: the header carries the size
        lzma_set_ext_size(options, uncompressedSize);
        lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
        WriteHeader(options, uncompressedSize);
        if (lzma_raw_encoder(&m_stream, filters) != LZMA_OK) throw std::runtime_error("lzma_raw_encoder failed");
    }
    ~LzmaWriter() { lzma_end(&m_stream); }

    void Put(const void* bytes, std::size_t count) {
        m_stream.next_in = static_cast<const std::uint8_t*>(bytes);
        m_stream.avail_in = count;
        while (m_stream.avail_in > 0) Code(LZMA_RUN);
    }

    void Message(unsigned char type, const void* value, std::uint32_t length) {
        MessageHead(type, length);
        Put(value, length);
    }

    void MessageHead(unsigned char type, std::uint32_t length) {
        unsigned char head[5] = {type, static_cast<unsigned char>(length >> 24),
                                 static_cast<unsigned char>(length >> 16), static_cast<unsigned char>(length >> 8),
                                 static_cast<unsigned char>(length)};
        Put(head, sizeof head);
    }

    std::uint64_t Finish() {
        while (Code(LZMA_FINISH) != LZMA_STREAM_END) {
        }
        m_out.flush();
        if (!m_out) throw std::runtime_error("writing the payload failed");
        return static_cast<std::uint64_t>(m_out.tellp());
    }

private:
    void WriteHeader(const lzma_options_lzma& options, std::uint64_t uncompressedSize) {
        unsigned char header[13];
        header[0] = static_cast<unsigned char>((options.pb * 5 + options.lp) * 9 + options.lc);
        for (int i = 0; i < 4; ++i) header[1 + i] = static_cast<unsigned char>(options.dict_size >> (8 * i));
        for (int i = 0; i < 8; ++i) header[5 + i] = static_cast<unsigned char>(uncompressedSize >> (8 * i));
        m_out.write(reinterpret_cast<const char*>(header), sizeof header);
    }

    lzma_ret Code(lzma_action action) {
        std::uint8_t buffer[kBufferSize];
        m_stream.next_out = buffer;
        m_stream.avail_out = sizeof buffer;
        lzma_ret result = lzma_code(&m_stream, action);
        if (result != LZMA_OK && result != LZMA_STREAM_END)
            throw std::runtime_error("lzma_code failed with " + std::to_string(static_cast<int>(result)));
        m_out.write(reinterpret_cast<const char*>(buffer),
                    static_cast<std::streamsize>(sizeof buffer - m_stream.avail_out));
        return result;
    }

    std::ofstream m_out;
    lzma_stream m_stream = LZMA_STREAM_INIT;
};

void CopyFileData(LzmaWriter& writer, const std::string& source, std::uint64_t size) {
    std::ifstream in(source, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + source);
    writer.MessageHead(kData, static_cast<std::uint32_t>(size));
    std::unique_ptr<char[]> buffer(new char[kBufferSize]);
    std::uint64_t copied = 0;
    while (copied < size) {
        in.read(buffer.get(), kBufferSize);
        std::size_t got = static_cast<std::size_t>(in.gcount());
        if (got == 0) throw std::runtime_error(source + " changed while it was being packed");
        got = static_cast<std::size_t>(std::min<std::uint64_t>(got, size - copied));
        writer.Put(buffer.get(), got);
        copied += got;
    }
}

}  // namespace

PayloadStats WritePayload(const std::vector<PayloadEntry>& entries, const std::string& outputPath,
                          std::uint32_t dictionarySize) {
    PayloadStats stats;
    stats.uncompressedSize = ContentSize(entries);
    LzmaWriter writer(outputPath, dictionarySize, stats.uncompressedSize);
    for (const PayloadEntry& entry : entries) {
        if (!entry.name.empty())
            writer.Message(kName, entry.name.data(), static_cast<std::uint32_t>(entry.name.size()));
        if (entry.uninstaller) writer.Message(kUninstaller, nullptr, 0);
        if (entry.selector >= 0) {
            unsigned char selector = static_cast<unsigned char>(entry.selector);
            writer.Message(kSelector, &selector, 1);
        }
        CopyFileData(writer, entry.source, FileSize(entry.source));
    }
    stats.compressedSize = writer.Finish();
    return stats;
}
