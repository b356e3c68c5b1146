#include "installer/ImageDigest.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t Read16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t Read32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint64_t Read64(const unsigned char* p) {
    return Read32(p) | (static_cast<std::uint64_t>(Read32(p + 4)) << 32);
}

// The header fields that Authenticode signing rewrites, and the sections.
struct PeLayout {
    std::size_t checksumOffset;
    std::size_t certificateEntryOffset;
    std::uint32_t certificateOffset;
    std::uint32_t certificateSize;
    std::size_t sectionTableOffset;
    std::size_t sectionCount;
};

const std::size_t kSectionHeaderSize = 40;

std::optional<PeLayout> ReadPeLayout(const unsigned char* file, std::size_t size) {
    if (size < 0x40 || file[0] != 'M' || file[1] != 'Z') return std::nullopt;
    const std::size_t pe = Read32(file + 0x3c);
    const std::size_t optional = pe + 24;
    if (pe > size || size - pe < 24 + 112 || std::memcmp(file + pe, "PE\0\0", 4) != 0) return std::nullopt;
    const std::size_t optionalSize = Read16(file + pe + 20);
    const std::uint32_t magic = Read16(file + optional);
    if (magic != 0x10b && magic != 0x20b) return std::nullopt;
    // PE32+ has a 64-bit image base and stack sizes: its directories start later.
    const std::size_t directories = optional + (magic == 0x10b ? 96 : 112);
    const std::size_t directoryCount = Read32(file + directories - 4);
    const std::size_t certificateEntry = directories + 4 * 8;
    if (directoryCount < 5 || certificateEntry + 8 > optional + optionalSize) return std::nullopt;
    PeLayout layout{optional + 64,
                    certificateEntry,
                    Read32(file + certificateEntry),
                    Read32(file + certificateEntry + 4),
                    optional + optionalSize,
                    Read16(file + pe + 6)};
    if (layout.sectionTableOffset + layout.sectionCount * kSectionHeaderSize > size) return std::nullopt;
    return layout;
}

bool DeclaresCertificates(const PeLayout& layout) {
    return layout.certificateOffset != 0 || layout.certificateSize != 0;
}

// The recorded image minus what signing changes and minus the digest itself.
std::vector<ByteSpan> DigestedSpans(const PeLayout& layout, std::size_t recordOffset, std::size_t imageSize) {
    std::vector<ByteSpan> excluded{{layout.checksumOffset, 4},
                                   {layout.certificateEntryOffset, 8},
                                   {recordOffset + offsetof(ImageDigestRecord, digest), sizeof(ImageDigestValue)}};
    std::sort(excluded.begin(), excluded.end(),
              [](const ByteSpan& a, const ByteSpan& b) { return a.offset < b.offset; });
    std::vector<ByteSpan> spans;
    std::size_t from = 0;
    for (const ByteSpan& gap : excluded) {
        spans.push_back({from, gap.offset - from});
        from = gap.offset + gap.size;
    }
    spans.push_back({from, imageSize - from});
    return spans;
}

bool RecordFits(const PeLayout& layout, std::size_t recordOffset, std::uint64_t imageSize) {
    return recordOffset + sizeof(ImageDigestRecord) <= imageSize && layout.sectionTableOffset <= recordOffset;
}

}  // namespace

ImageVerdict JudgeImage(const unsigned char* file, std::size_t size, std::size_t recordOffset, SpanHasher hash) {
    ImageVerdict verdict;
    verdict.expectedSize = verdict.foundSize = size;  // until the record says otherwise
    const std::optional<PeLayout> layout = ReadPeLayout(file, size);
    if (!layout || recordOffset + sizeof(ImageDigestRecord) > size) return verdict;
    const auto* record = reinterpret_cast<const ImageDigestRecord*>(file + recordOffset);
    const std::uint64_t imageSize = Read64(record->imageSize);
    // A signer appends its certificate table right after the image and
    // declares it; any other byte after the image was not built.
    const bool certificates = DeclaresCertificates(*layout);
    verdict.expectedSize = imageSize + (certificates ? layout->certificateSize : 0);
    if (verdict.expectedSize != size || (certificates && layout->certificateOffset != imageSize) ||
        !RecordFits(*layout, recordOffset, imageSize))
        return verdict;
    verdict.intact = hash(file, DigestedSpans(*layout, recordOffset, imageSize)) == record->digest;
    return verdict;
}

std::optional<std::size_t> FileOffsetOfRva(const unsigned char* file, std::size_t size, std::uint32_t rva) {
    const std::optional<PeLayout> layout = ReadPeLayout(file, size);
    if (!layout) return std::nullopt;
    for (std::size_t i = 0; i < layout->sectionCount; ++i) {
        const unsigned char* section = file + layout->sectionTableOffset + i * kSectionHeaderSize;
        const std::uint32_t address = Read32(section + 12);
        const std::uint32_t rawSize = Read32(section + 16);
        const std::uint32_t rawOffset = Read32(section + 20);
        if (rva >= address && rva - address < rawSize) return rawOffset + (rva - address);
    }
    return std::nullopt;
}

std::vector<std::size_t> ImageDigestRecordOffsets(const std::vector<unsigned char>& file) {
    const ImageDigestRecord unrecorded = UnrecordedImageDigest();
    const auto* marker = reinterpret_cast<const unsigned char*>(unrecorded.marker);
    std::vector<std::size_t> found;
    const std::optional<PeLayout> layout = ReadPeLayout(file.data(), file.size());
    if (!layout) return found;
    // The record is constant data. Debug information (discardable) may hold
    // a description of its initial value, resources (writable) any bytes.
    const std::uint32_t writableOrDiscardable = 0x80000000u | 0x02000000u;
    for (std::size_t i = 0; i < layout->sectionCount; ++i) {
        const unsigned char* section = file.data() + layout->sectionTableOffset + i * kSectionHeaderSize;
        const std::size_t rawOffset = Read32(section + 20);
        const std::size_t rawSize = Read32(section + 16);
        if ((Read32(section + 36) & writableOrDiscardable) != 0 || rawOffset > file.size()) continue;
        const auto begin = file.begin() + rawOffset;
        const auto end = file.begin() + rawOffset + std::min(rawSize, file.size() - rawOffset);
        for (auto at = begin;; ++at) {
            at = std::search(at, end, marker, marker + kImageDigestMarkerSize);
            if (at == end) break;
            found.push_back(static_cast<std::size_t>(at - file.begin()));
        }
    }
    return found;
}

std::string RecordImageDigest(std::vector<unsigned char>& file, SpanHasher hash) {
    const std::optional<PeLayout> layout = ReadPeLayout(file.data(), file.size());
    if (!layout) return "not a PE image";
    // Signing comes last: its checks cover the recorded digest.
    if (DeclaresCertificates(*layout)) return "already signed: the digest is recorded before signing";
    const std::vector<std::size_t> markers = ImageDigestRecordOffsets(file);
    if (markers.size() != 1) return "expected one digest record, found " + std::to_string(markers.size());
    if (!RecordFits(*layout, markers.front(), file.size())) return "the digest record lies outside the sections";
    // A signer puts its certificate table at an 8-byte boundary; padding
    // it would add outside the image is made part of the image here.
    file.resize((file.size() + 7) / 8 * 8, 0);
    auto* record = reinterpret_cast<ImageDigestRecord*>(file.data() + markers.front());
    for (std::size_t i = 0; i < 8; ++i)
        record->imageSize[i] = static_cast<unsigned char>(static_cast<std::uint64_t>(file.size()) >> (8 * i));
    record->digest = hash(file.data(), DigestedSpans(*layout, markers.front(), file.size()));
    return "";
}
