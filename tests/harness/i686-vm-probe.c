/* Started in every Wine prefix of the emulated machine before the prefix is
 * trusted: it imports the system DLLs the test programs import, and calls one
 * function of each, so a prefix whose set-up was cut short (a system folder
 * without user32.dll, say) fails here with the loader's own message instead
 * of failing every test case with "nothing ran". Exit 0: the prefix works. */
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

int main(void) {
    char path[MAX_PATH];
    HKEY key;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};

    if (!GetSystemDirectoryA(path, MAX_PATH)) return 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key) != ERROR_SUCCESS) return 2;
    RegCloseKey(key);
    if (!SHGetSpecialFolderPathA(NULL, path, CSIDL_PROGRAM_FILES, FALSE)) return 3;
    if (FAILED(CoInitialize(NULL))) return 4;
    CoUninitialize();
    if (!InitCommonControlsEx(&controls)) return 5;
    if (!GetStockObject(DEFAULT_GUI_FONT)) return 6;
    if (!LoadCursorA(NULL, (LPCSTR)IDC_ARROW)) return 7;
    if (!LoadLibraryA("riched20.dll")) return 8;
    return 0;
}
