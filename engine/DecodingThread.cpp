#include "engine/DecodingThread.h"

#include "foundation/Errors.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

DecodingThread::DecodingThread(std::unique_ptr<LzmaChunkDecoder> decoder, const std::uint8_t* input,
                               std::size_t inputSize, std::uint64_t decodedSize, std::size_t chunkSize)
    : m_decoder(std::move(decoder)), m_input(input), m_inputSize(inputSize), m_decodedSize(decodedSize),
      m_chunkSize(chunkSize) {
    for (std::unique_ptr<std::uint8_t[]>& chunk : m_chunks) chunk.reset(new std::uint8_t[chunkSize]);
    m_thread = std::thread(&DecodingThread::Run, this);
}

DecodingThread::~DecodingThread() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void DecodingThread::Run() noexcept {
    try {
        Decode();
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_failure = std::current_exception();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ended = true;
    }
    m_changed.notify_all();
}

void DecodingThread::Decode() {
    std::uint64_t remaining = m_decodedSize;
    std::size_t position = 0;
    while (remaining != 0) {
        std::uint8_t* chunk;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stop || m_produced - m_taken < kChunks; });
            if (m_stop) return;
            chunk = m_chunks[m_produced % kChunks].get();
        }
        std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, m_chunkSize));
        std::size_t consumed = 0;
        std::size_t produced = m_decoder->Decode(m_input + position, m_inputSize - position, chunk, wanted, consumed);
        position += consumed;
        remaining -= produced;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_counts[m_produced % kChunks] = produced;
            ++m_produced;
        }
        m_changed.notify_all();
    }
    // The stream carries no check of its own; a declared size that ends
    // between two messages would otherwise pass for a shorter payload.
    if (position != m_inputSize)
        throw InstallError("WriteFilesFromLzmaStream: compressed data continues after the declared size");
}

const std::uint8_t* DecodingThread::Next(std::size_t& count) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_handedOut) {
        ++m_taken;
        m_handedOut = false;
        m_changed.notify_all();
    }
    m_changed.wait(lock, [this] { return m_produced > m_taken || m_ended; });
    if (m_produced > m_taken) {
        m_handedOut = true;
        count = m_counts[m_taken % kChunks];
        return m_chunks[m_taken % kChunks].get();
    }
    if (m_failure) std::rethrow_exception(m_failure);
    count = 0;
    return nullptr;
}

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
