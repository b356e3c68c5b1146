#include "installer/ImageDigest.h"

#include "engine/InstallerMessages.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"
#include "foundation/Win.h"

#include <cryptopp/sha.h>

namespace {

// The host tool writes the size and the digest into these bytes after
// linking. They are read back from the file, never through this object,
// so what the compiler believes they hold cannot matter.
const ImageDigestRecord kOwnDigestRecord = UnrecordedImageDigest();

std::string OwnPath() {
    std::string path(32768, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) ThrowCallFailure("GetModuleFileNameA()");
    path.resize(length);
    return path;
}

std::uint32_t OwnRecordRva() {
    const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
    return static_cast<std::uint32_t>(reinterpret_cast<const unsigned char*>(&kOwnDigestRecord) - base);
}

// Hashes the file through a read-only mapping: its pages come from the
// file cache, nothing is copied into the process's own memory.
ImageVerdict JudgeFile(const std::string& path) {
    const UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowCallFailure("CreateFileA()");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) ThrowCallFailure("GetFileSizeEx()");
    const UniqueHandle section(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!section) ThrowCallFailure("CreateFileMappingA()");
    const UniqueView view(MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) ThrowCallFailure("MapViewOfFile()");
    const auto* bytes = static_cast<const unsigned char*>(view.get());
    const auto length = static_cast<std::size_t>(size.QuadPart);
    const std::optional<std::size_t> record = FileOffsetOfRva(bytes, length, OwnRecordRva());
    if (!record) return ImageVerdict{false, length, length};
    return JudgeImage(bytes, length, *record, Sha256OfSpans);
}

}  // namespace

ImageDigestValue Sha256OfSpans(const unsigned char* file, const std::vector<ByteSpan>& spans) {
    CryptoPP::SHA256 sha;
    for (const ByteSpan& span : spans) sha.Update(file + span.offset, span.size);
    ImageDigestValue digest;
    sha.Final(digest.data());
    return digest;
}

void VerifyOwnImage() {
#ifdef QUILLMORE_SKIP_IMAGE_CHECK  // benchmark builds only, never a release
    return;
#endif
    const std::string path = OwnPath();
    const ImageVerdict verdict = JudgeFile(path);
    if (!verdict.intact) throw InstallError(DamagedInstallerText(path, verdict.expectedSize, verdict.foundSize));
}
