// The digest an installer image carries of itself: where it lives, which
// bytes it covers and how a file is judged against it. Plain C++ without
// Windows headers, shared by the installer's start-up check and the host
// tool that records the digest after linking.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using ImageDigestValue = std::array<unsigned char, 32>;  // SHA-256

// The record as it lies in the image's read-only data: a marker the host
// tool finds it by, the size of the file it covers (little-endian) and the
// digest. The tool writes the size and the digest after linking. The marker
// must occur once in the image, so the source keeps it only shifted by one:
// the record's initial value is its one plain copy.
inline constexpr char kImageDigestMarkerShifted[] = "Wbousfm!ejhftu;";  // "Vantrel digest:"
constexpr std::size_t kImageDigestMarkerSize = sizeof kImageDigestMarkerShifted;
struct ImageDigestRecord {
    char marker[kImageDigestMarkerSize];
    unsigned char imageSize[8];
    ImageDigestValue digest;
};
static_assert(sizeof(ImageDigestRecord) == 56, "the host tool and the installer share this layout");

constexpr ImageDigestRecord UnrecordedImageDigest() {
    ImageDigestRecord record{};
    for (std::size_t i = 0; i + 1 < kImageDigestMarkerSize; ++i)
        record.marker[i] = static_cast<char>(kImageDigestMarkerShifted[i] - 1);
    return record;
}

struct ByteSpan {
    std::size_t offset;
    std::size_t size;
};

// Hashes the given spans of a file, in order, into one SHA-256.
using SpanHasher = ImageDigestValue (*)(const unsigned char* file, const std::vector<ByteSpan>& spans);

// What the file looks like next to its record. Intact only when the sizes
// agree and the digest matches; the sizes are reported when they differ.
struct ImageVerdict {
    bool intact = false;
    std::uint64_t expectedSize = 0;
    std::uint64_t foundSize = 0;
};

// Judges a whole file whose record starts at recordOffset: the recorded
// image, then at most a certificate table that its directory entry declares
// right after it, nothing else.
ImageVerdict JudgeImage(const unsigned char* file, std::size_t size, std::size_t recordOffset, SpanHasher hash);

// The file offset of the byte that the image maps at the relative virtual
// address; nothing when no section holds it in the file.
std::optional<std::size_t> FileOffsetOfRva(const unsigned char* file, std::size_t size, std::uint32_t rva);

// Where the marker occurs in the constant data of an image: once in an
// image built with the check.
std::vector<std::size_t> ImageDigestRecordOffsets(const std::vector<unsigned char>& file);

// Writes size and digest into the one record of an unsigned image. Returns
// an empty text, or why the file cannot be recorded.
std::string RecordImageDigest(std::vector<unsigned char>& file, SpanHasher hash);

// The installer's check of its own file, made before anything else happens.
// Throws InstallError naming the file as damaged when its bytes are not the
// ones the build recorded: a changed byte, a file cut short, or bytes after
// the image other than a declared certificate table.
void VerifyOwnImage();

// SHA-256 of the spans, in order.
ImageDigestValue Sha256OfSpans(const unsigned char* file, const std::vector<ByteSpan>& spans);
