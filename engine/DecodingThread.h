// LZMA decoding of the payload: liblzma's decoder over caller-provided
// chunks, and a thread that runs it a few chunks ahead of the thread that
// takes the decoded bytes, so that decoding overlaps the writing of the
// files. The taker sees exactly the sequence of chunks a decode on its own
// thread would produce, and a decoding failure where that decode would have
// thrown it: after every chunk decoded before it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include <lzma.h>

// liblzma's raw LZMA1 decoder set up from the five property bytes of an
// LZMA-alone header, decoding into caller-provided chunks.
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

class DecodingThread {
public:
    // Decodes decodedSize bytes from the compressed bytes at input in chunks
    // of at most chunkSize bytes.
    DecodingThread(std::unique_ptr<LzmaChunkDecoder> decoder, const std::uint8_t* input, std::size_t inputSize,
                   std::uint64_t decodedSize, std::size_t chunkSize);
    // Stops the decoder (it may be waiting for a free chunk) and waits for it.
    ~DecodingThread();
    DecodingThread(const DecodingThread&) = delete;
    DecodingThread& operator=(const DecodingThread&) = delete;

    // The next chunk, valid until the next call; count 0 at the end of the
    // stream. Rethrows the decoder's failure.
    const std::uint8_t* Next(std::size_t& count);

private:
    static constexpr std::size_t kChunks = 4;

    void Run() noexcept;
    void Decode();

    std::unique_ptr<LzmaChunkDecoder> m_decoder;
    const std::uint8_t* m_input;
    std::size_t m_inputSize;
    std::uint64_t m_decodedSize;
    std::size_t m_chunkSize;
    std::unique_ptr<std::uint8_t[]> m_chunks[kChunks];
    std::size_t m_counts[kChunks] = {};

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::uint64_t m_produced = 0;  // chunks decoded so far
    std::uint64_t m_taken = 0;     // chunks given back by the taker
    bool m_handedOut = false;      // the taker holds chunk m_taken
    bool m_ended = false;          // the decoder thread has nothing more to give
    bool m_stop = false;
    std::exception_ptr m_failure;
    std::thread m_thread;  // last: started once everything above exists
};
