// Builds payload streams for the tests: messages, and LZMA-alone streams
// around them, the way the build's packer writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

class Messages {
public:
    Messages& Name(const std::string& name) { return Add(0x01, name); }
    Messages& Uninstaller() { return Add(0x02, ""); }
    Messages& Selector(unsigned char selector) { return Add(0x03, std::string(1, static_cast<char>(selector))); }
    Messages& Data(const std::string& bytes) { return Add(0x65, bytes); }
    Messages& File(const std::string& name, const std::string& bytes) { return Name(name).Data(bytes); }
    Messages& Add(unsigned char type, const std::string& value);
    // platform.ini for NT (selector 1) and for 9x (selector 2), then both.txt for either.
    Messages& PlatformVariants() {
        Name("platform.ini").Selector(1).Data("nt");
        return Name("platform.ini").Selector(2).Data("9x").File("both.txt", "both");
    }

    const Bytes& bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// LZMA-alone: property byte 0x5D, the dictionary size, the given declared
// size (the content's size unless told otherwise), LZMA1 data.
Bytes LzmaAlone(const Bytes& content, std::uint64_t declaredSize, std::uint32_t dictionary = 1 << 20);
inline Bytes LzmaAlone(const Bytes& content) {
    return LzmaAlone(content, content.size());
}
