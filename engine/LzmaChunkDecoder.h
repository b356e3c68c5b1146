// liblzma's raw LZMA1 decoder set up from the five property bytes of an
// LZMA-alone header, decoding into caller-provided chunks.
#pragma once

#include <lzma.h>
#include <cstddef>
#include <cstdint>

class LzmaChunkDecoder {
public:
    // Throws InstallError "LzmaDecodeProperties() failed: incorrect stream
    // properties" when the decoder refuses the properties.
    explicit LzmaChunkDecoder(const std::uint8_t* properties);
    ~LzmaChunkDecoder();
    LzmaChunkDecoder(const LzmaChunkDecoder&) = delete;
    LzmaChunkDecoder& operator=(const LzmaChunkDecoder&) = delete;

    // Decodes up to outSize bytes from the compressed bytes at input (of
    // which inputSize are left); returns the bytes produced and the bytes
    // consumed. Throws InstallError "LzmaDecode() failed: error N" on a
    // decoder error, and also when a call makes no progress at all
    // (truncated input), with liblzma's code for that case.
    std::size_t Decode(const std::uint8_t* input, std::size_t inputSize, std::uint8_t* out, std::size_t outSize,
                       std::size_t& consumed);

private:
    lzma_stream m_stream = LZMA_STREAM_INIT;
};
