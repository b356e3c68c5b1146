#include "support/ScreenCapture.h"

#include "foundation/UniqueHandle.h"
#include "support/ProcessRunner.h"
#include "ui/GdiOwners.h"

#include <cryptopp/crc.h>
#include <cryptopp/filters.h>
#include <cryptopp/zlib.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgbRows;   // each row: a filter byte, then RGB triples
};

struct MemoryDcTraits {
    using Value = HDC;
    static HDC Invalid() { return nullptr; }
    static void Close(HDC dc) { DeleteDC(dc); }
};
using UniqueMemoryDc = UniqueOwner<MemoryDcTraits>;

Pixels ReadScreen(const RECT& area) {
    Pixels pixels;
    pixels.width = area.right - area.left;
    pixels.height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;   // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    WindowDeviceContext screen(nullptr, WindowDeviceContext::ClientArea);
    UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen.get() || !memory || !bitmap) throw std::runtime_error("cannot read the screen");
    SelectedObject selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, pixels.width, pixels.height, screen.get(), area.left, area.top, SRCCOPY))
        throw std::runtime_error("cannot copy the screen");
    GdiFlush();

    auto* bgrx = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < pixels.height; ++y) {
        pixels.rgbRows.push_back(0);
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint8_t* pixel = bgrx + 4 * (static_cast<size_t>(y) * pixels.width + x);
            pixels.rgbRows.insert(pixels.rgbRows.end(), {pixel[2], pixel[1], pixel[0]});
        }
    }
    return pixels;
}

void AppendBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void AppendChunk(std::string& png, const char* type, const std::string& data) {
    AppendBigEndian(png, static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    CryptoPP::CRC32 crc;
    crc.Update(reinterpret_cast<const CryptoPP::byte*>(typed.data()), typed.size());
    CryptoPP::byte digest[4];
    crc.Final(digest);   // little-endian
    AppendBigEndian(png, digest[0] | digest[1] << 8 | digest[2] << 16 | static_cast<std::uint32_t>(digest[3]) << 24);
}

std::string EncodePng(const Pixels& pixels) {
    std::string header;
    AppendBigEndian(header, static_cast<std::uint32_t>(pixels.width));
    AppendBigEndian(header, static_cast<std::uint32_t>(pixels.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);   // 8-bit RGB, no interlace

    std::string compressed;
    CryptoPP::StringSource(pixels.rgbRows.data(), pixels.rgbRows.size(), true,
                           new CryptoPP::ZlibCompressor(new CryptoPP::StringSink(compressed)));

    std::string png("\x89PNG\r\n\x1a\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", compressed);
    AppendChunk(png, "IEND", "");
    return png;
}

} // namespace

std::string ArtifactDirectory() {
    std::string bin = SiblingExecutable("");
    bin.pop_back();   // the trailing backslash
    std::string directory = bin.substr(0, bin.find_last_of('\\')) + "\\artifacts";
    CreateDirectoryA(directory.c_str(), nullptr);
    return directory;
}

void SaveWindowScreenshot(HWND window, const std::string& pngPath) {
    // Painting finished, whichever thread or process owns the window.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    RECT area;
    if (!GetWindowRect(window, &area)) throw std::runtime_error("no such window");
    std::string png = EncodePng(ReadScreen(area));
    std::ofstream file(pngPath, std::ios::binary);
    file.write(png.data(), static_cast<std::streamsize>(png.size()));
    if (!file) throw std::runtime_error("cannot write " + pngPath);
}
