#include "ui/FolderBrowser.h"

#include <shlobj.h>

namespace {

constexpr int PathLimit = 260;

// The shell's task allocator, released on destruction.
class ShellAllocator {
public:
    ShellAllocator() {
        if (FAILED(SHGetMalloc(&m_malloc))) m_malloc = nullptr;
    }
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;
    ~ShellAllocator() {
        if (m_malloc) m_malloc->Release();
    }

    IMalloc* get() const { return m_malloc; }

private:
    IMalloc* m_malloc = nullptr;
};

// An item list from the shell, freed with the shell's allocator.
class ItemList {
public:
    ItemList(PIDLIST_ABSOLUTE items, IMalloc* allocator) : m_items(items), m_allocator(allocator) {}
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    ~ItemList() {
        if (m_items) m_allocator->Free(m_items);
    }

    PIDLIST_ABSOLUTE get() const { return m_items; }

private:
    PIDLIST_ABSOLUTE m_items;
    IMalloc* m_allocator;
};

int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM path) {
    if (message == BFFM_INITIALIZED) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, path);
    return 0;
}

} // namespace

void BrowseForInstallFolder(HWND dialog, int editId, std::string& installDir) {
    ShellAllocator allocator;
    if (!allocator.get()) return;

    char path[PathLimit + 1] = {};
    GetDlgItemTextA(dialog, editId, path, PathLimit + 1);
    installDir = path;

    BROWSEINFOA browse = {};
    browse.hwndOwner = dialog;
    browse.pszDisplayName = path;
    browse.lpszTitle = "Please Select Quillmore Install Directory";
    browse.lpfn = SelectStartFolder;
    browse.lParam = reinterpret_cast<LPARAM>(installDir.c_str());

    ItemList chosen(SHBrowseForFolderA(&browse), allocator.get());
    if (chosen.get() && SHGetPathFromIDListA(chosen.get(), path)) {
        installDir = path;
        SetDlgItemTextA(dialog, editId, path);
    }
}
