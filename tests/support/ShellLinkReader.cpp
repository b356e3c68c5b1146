#include "support/ShellLinkReader.h"

#include "foundation/Com.h"
#include "foundation/Text.h"

#include <shlobj.h>

#include <stdexcept>
#include <vector>

namespace {

template <typename Getter>
std::string Field(Getter get) {
    std::vector<char> buffer(4096);
    if (FAILED(get(buffer.data(), static_cast<int>(buffer.size())))) return "<failed>";
    return buffer.data();
}

}  // namespace

ShellLinkFields ReadShellLink(const std::string& path) {
    ComInit com;
    ComInstance<IShellLinkA> link;
    link.Create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA);
    ComInstance<IPersistFile> file;
    file.QueryInterface(link, IID_IPersistFile);
    if (!file.get() || FAILED(file->Load(MultiByteToWide(path).c_str(), STGM_READ)))
        throw std::runtime_error("cannot load the link " + path);

    ShellLinkFields fields;
    fields.target = Field([&](char* text, int size) { return link->GetPath(text, size, nullptr, SLGP_RAWPATH); });
    fields.arguments = Field([&](char* text, int size) { return link->GetArguments(text, size); });
    fields.workingDirectory = Field([&](char* text, int size) { return link->GetWorkingDirectory(text, size); });
    fields.description = Field([&](char* text, int size) { return link->GetDescription(text, size); });
    fields.iconFile = Field([&](char* text, int size) { return link->GetIconLocation(text, size, &fields.iconIndex); });
    return fields;
}
