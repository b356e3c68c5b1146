// Records, after linking, the digest that the installer checks its own file
// against at start-up, and verifies it on the build host (a signed image
// included). A host program: it runs during the build.
#include "installer/ImageDigest.h"
#include "tools/HostFile.h"

#include <openssl/evp.h>

#include <cstdio>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: quillmore-imagedigest record IMAGE\n"
    "       quillmore-imagedigest verify IMAGE\n"
    "\n"
    "record: writes the size and the SHA-256 of the unsigned IMAGE into its\n"
    "  digest record. Run it after every change to the file and before signing.\n"
    "verify: exit 0 when IMAGE passes the installer's own start-up check,\n"
    "  1 with the reason when it would be refused as damaged.\n";

ImageDigestValue Sha256OfSpans(const unsigned char* file, const std::vector<ByteSpan>& spans) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    bool done = context && EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
    for (const ByteSpan& span : spans) done = done && EVP_DigestUpdate(context, file + span.offset, span.size);
    ImageDigestValue digest;
    done = done && EVP_DigestFinal_ex(context, digest.data(), nullptr);
    EVP_MD_CTX_free(context);
    if (!done) throw std::runtime_error("SHA-256 failed");
    return digest;
}

int Record(const std::string& path) {
    std::vector<unsigned char> image = ReadAll(path);
    const std::string refused = RecordImageDigest(image, Sha256OfSpans);
    if (!refused.empty()) throw std::runtime_error(path + ": " + refused);
    WriteAll(path, image.data(), image.size());
    return 0;
}

int Verify(const std::string& path) {
    const std::vector<unsigned char> image = ReadAll(path);
    const std::vector<std::size_t> records = ImageDigestRecordOffsets(image);
    if (records.size() != 1) throw std::runtime_error(path + ": no single digest record");
    const ImageVerdict verdict = JudgeImage(image.data(), image.size(), records.front(), Sha256OfSpans);
    if (verdict.intact) {
        std::printf("%s: intact\n", path.c_str());
        return 0;
    }
    std::printf("%s: damaged (expected %llu bytes, found %llu bytes)\n", path.c_str(),
                static_cast<unsigned long long>(verdict.expectedSize),
                static_cast<unsigned long long>(verdict.foundSize));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 2 && args[0] == "record") return Record(args[1]);
        if (args.size() == 2 && args[0] == "verify") return Verify(args[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmore-imagedigest: %s\n", e.what());
        return 2;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
