// The packer's manifest: a manifest it accepts reads back the same when
// written out plainly, and the payload it makes of it is one the
// installer's parser takes without complaint, every file named inside the
// installation directory.
#include "PayloadEvents.h"
#include "engine/PayloadBuilder.h"

#include "engine/PayloadFileName.h"
#include "foundation/Errors.h"
#include "tools/packer/PayloadManifest.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const char* property) {
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
}

std::string Written(const std::vector<PayloadEntry>& entries) {
    std::string text;
    for (const PayloadEntry& entry : entries) {
        text += (entry.name.empty() ? "-" : entry.name) + "\t" + entry.source;
        if (entry.selector >= 0) text += "\tselector=" + std::to_string(entry.selector);
        if (entry.uninstaller) text += "\tuninstaller";
        text += "\n";
    }
    return text;
}

bool SameEntries(const std::vector<PayloadEntry>& a, const std::vector<PayloadEntry>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].source != b[i].source || a[i].selector != b[i].selector ||
            a[i].uninstaller != b[i].uninstaller)
            return false;
    return true;
}

// The messages the packer writes for the entries, each file's data being
// its source's name.
Bytes PackedMessages(const std::vector<PayloadEntry>& entries) {
    Messages messages;
    for (const PayloadEntry& entry : entries) {
        if (!entry.name.empty()) messages.Name(entry.name);
        if (entry.uninstaller) messages.Uninstaller();
        if (entry.selector >= 0) messages.Selector(static_cast<unsigned char>(entry.selector));
        messages.Data(entry.source);
    }
    return messages.bytes();
}

void CheckInstallable(const std::vector<PayloadEntry>& entries) {
    const Bytes stream = PackedMessages(entries);
    RecordingSink sink;
    PayloadMessageParser parser(sink);
    try {
        parser.Begin();
        parser.ProcessOutBytes(stream.data(), stream.size());
        parser.Finish();
    } catch (const InstallError&) {
        Fail("the installer refuses a payload the packer made");
    }
    if (sink.files.size() != entries.size()) Fail("the installer sees another number of files");
    for (const RecordedFile& file : sink.files)
        if (!file.headers.uninstaller && (file.headers.name.empty() || !StaysInsideDirectory(file.headers.name)))
            Fail("the installer is handed a file without a usable name");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<PayloadEntry> entries;
    try {
        entries = ParsePayloadManifest(text, "manifest");
    } catch (const std::runtime_error& e) {
        if (std::string(e.what()).rfind("manifest:", 0) != 0) Fail("a refusal that names no line");
        return 0;
    }
    std::istringstream written(Written(entries));
    if (!SameEntries(ParsePayloadManifest(written, "written"), entries))
        Fail("the written manifest reads back differently");
    CheckInstallable(entries);
    return 0;
}
