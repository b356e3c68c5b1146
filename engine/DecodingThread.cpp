#include "engine/DecodingThread.h"

#include "foundation/Errors.h"

#include <algorithm>
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
