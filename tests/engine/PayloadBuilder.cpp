#include "PayloadBuilder.h"

#include <lzma.h>

#include <stdexcept>

Messages& Messages::Add(unsigned char type, const std::string& value) {
    std::uint32_t length = static_cast<std::uint32_t>(value.size());
    m_bytes.push_back(type);
    for (int shift = 24; shift >= 0; shift -= 8) m_bytes.push_back(static_cast<unsigned char>(length >> shift));
    m_bytes.insert(m_bytes.end(), value.begin(), value.end());
    return *this;
}

Bytes LzmaAlone(const Bytes& content, std::uint64_t declaredSize, std::uint32_t dictionary) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = dictionary;
    options.ext_flags = 0;
    lzma_set_ext_size(options, content.size());
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&stream, filters) != LZMA_OK) throw std::runtime_error("lzma_raw_encoder");

    Bytes out = {0x5D};
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(dictionary >> (8 * i)));
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<unsigned char>(declaredSize >> (8 * i)));

    Bytes buffer(1 << 16);
    stream.next_in = content.data();
    stream.avail_in = content.size();
    lzma_ret result;
    do {
        stream.next_out = buffer.data();
        stream.avail_out = buffer.size();
        result = lzma_code(&stream, LZMA_FINISH);
        out.insert(out.end(), buffer.data(), buffer.data() + (buffer.size() - stream.avail_out));
    } while (result == LZMA_OK);
    lzma_end(&stream);
    if (result != LZMA_STREAM_END) throw std::runtime_error("lzma_code");
    return out;
}
