#include "ui/FolderBrowser.h"

#include "system/ShellLibrary.h"

#include <shlobj.h>

namespace {

constexpr int PathLimit = 260;

// An item list from the shell, freed with the COM task allocator, which is
// the shell's allocator.
class ItemList {
public:
    explicit ItemList(PIDLIST_ABSOLUTE items) : m_items(items) {}
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    ~ItemList() { CoTaskMemFree(m_items); }

    PIDLIST_ABSOLUTE get() const { return m_items; }

private:
    PIDLIST_ABSOLUTE m_items;
};

int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM path) {
    if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, path);
    return 0;
}

}  // namespace

void BrowseForInstallFolder(HWND dialog, int editId, std::string& installDir) {
    const auto browseForFolder = ShellFunction<decltype(&::SHBrowseForFolderA)>("SHBrowseForFolderA");
    const auto pathFromItemList = ShellFunction<decltype(&::SHGetPathFromIDListA)>("SHGetPathFromIDListA");
    if (!browseForFolder || !pathFromItemList) return;

    char path[PathLimit + 1] = {};
    GetDlgItemTextA(dialog, editId, path, PathLimit + 1);
    installDir = path;

    BROWSEINFOA browse = {};
    browse.hwndOwner = dialog;
    browse.pszDisplayName = path;
    browse.lpszTitle = "Please Select Quillmore Install Directory";
    browse.lpfn = SelectStartFolder;
    browse.lParam = reinterpret_cast<LPARAM>(installDir.c_str());

    ItemList chosen(browseForFolder(&browse));
    if (chosen.get() && pathFromItemList(chosen.get(), path)) {
        installDir = path;
        SetDlgItemTextA(dialog, editId, path);
    }
}
