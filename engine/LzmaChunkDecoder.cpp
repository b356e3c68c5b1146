#include "engine/LzmaChunkDecoder.h"

#include "foundation/Errors.h"

#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void ThrowDecodeFailure(lzma_ret code) {
    throw InstallError("LzmaDecode() failed: error " + std::to_string(static_cast<int>(code)));
}

}  // namespace

LzmaChunkDecoder::LzmaChunkDecoder(const std::uint8_t* properties) {
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, properties, 5) != LZMA_OK)
        throw InstallError("LzmaDecodeProperties() failed: incorrect stream properties");
    // The decoder keeps its own copy of the options.
    lzma_ret result = lzma_raw_decoder(&m_stream, filters);
    std::free(filters[0].options);
    if (result != LZMA_OK) ThrowDecodeFailure(result);
}

LzmaChunkDecoder::~LzmaChunkDecoder() {
    lzma_end(&m_stream);
}

std::size_t LzmaChunkDecoder::Decode(const std::uint8_t* input, std::size_t inputSize, std::uint8_t* out,
                                     std::size_t outSize, std::size_t& consumed) {
    m_stream.next_in = input;
    m_stream.avail_in = inputSize;
    m_stream.next_out = out;
    m_stream.avail_out = outSize;
    lzma_ret result = lzma_code(&m_stream, LZMA_RUN);
    if (result != LZMA_OK && result != LZMA_STREAM_END) ThrowDecodeFailure(result);

    consumed = inputSize - m_stream.avail_in;
    std::size_t produced = outSize - m_stream.avail_out;
    // A call that neither consumes nor produces would be repeated forever.
    if (produced == 0 && consumed == 0) ThrowDecodeFailure(LZMA_BUF_ERROR);
    return produced;
}
