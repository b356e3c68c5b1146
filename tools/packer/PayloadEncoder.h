// Writes the installer's payload: an LZMA-alone stream (property byte,
// dictionary size, the real uncompressed size, LZMA data without end
// marker) whose content is one message group per file:
//   [0x01 name] [0x02 uninstaller marker] [0x03 selector] 0x65 data
// each message being a type byte, a 4-byte big-endian length and the value.
#pragma once

#include "PayloadManifest.h"

#include <cstdint>
#include <string>
#include <vector>

struct PayloadStats {
    std::uint64_t uncompressedSize = 0;
    std::uint64_t compressedSize = 0;
};

PayloadStats WritePayload(const std::vector<PayloadEntry>& entries, const std::string& outputPath,
                          std::uint32_t dictionarySize);
