// Build-time packer of the installer's resources 148 (payload) and 149
// (zlib-compressed uninstaller). A host program: it runs during the build.
#include "PayloadEncoder.h"
#include "PayloadManifest.h"
#include "tools/HostFile.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: quillmore-packer payload MANIFEST OUTPUT [DICTIONARY_SIZE]\n"
    "       quillmore-packer zlib INPUT OUTPUT\n"
    "\n"
    "payload: writes the LZMA-alone payload of the files listed in MANIFEST.\n"
    "  MANIFEST holds one file per line, fields separated by tabs:\n"
    "    NAME <tab> SOURCE [<tab> selector=N] [<tab> uninstaller]\n"
    "  NAME      path relative to the installation directory, '\\' separated;\n"
    "            '-' writes no name message (the group reuses the previous name);\n"
    "            it needs a name on an earlier line, and selector= or uninstaller.\n"
    "            Absolute names, drives (':') and '..' components are refused,\n"
    "            and so are names that install nowhere: over 256 bytes, or a\n"
    "            component over 255.\n"
    "  SOURCE    file on this host whose bytes become the data message.\n"
    "  selector=N  platform selector byte: 1 NT family only, 2 other families only.\n"
    "  uninstaller the data goes to the uninstaller path instead of NAME.\n"
    "  Empty lines and lines starting with '#' are skipped; no other control\n"
    "  character than the tab, and selector=N takes 0 to 255 in plain digits.\n"
    "  DICTIONARY_SIZE defaults to 33554432 (32 MiB).\n"
    "zlib: compresses INPUT into one zlib stream (RFC 1950).\n";

void WriteZlib(const std::string& input, const std::string& output) {
    std::vector<unsigned char> plain = ReadAll(input);
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::vector<unsigned char> packed(size);
    if (compress2(packed.data(), &size, plain.data(), static_cast<uLong>(plain.size()), 9) != Z_OK)
        throw std::runtime_error("compress2 failed for " + input);
    WriteAll(output, packed.data(), size);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() >= 3 && args.size() <= 4 && args[0] == "payload") {
            std::uint32_t dictionary = args.size() == 4 ? static_cast<std::uint32_t>(std::stoul(args[3])) : 1u << 25;
            PayloadStats stats = WritePayload(ReadPayloadManifest(args[1]), args[2], dictionary);
            std::printf("%s: %llu bytes of messages in %llu compressed bytes\n", args[2].c_str(),
                        static_cast<unsigned long long>(stats.uncompressedSize),
                        static_cast<unsigned long long>(stats.compressedSize));
            return 0;
        }
        if (args.size() == 3 && args[0] == "zlib") {
            WriteZlib(args[1], args[2]);
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillmore-packer: %s\n", e.what());
        return 1;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
