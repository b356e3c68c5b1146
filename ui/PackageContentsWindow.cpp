
#include "engine/Resources.h"
#include "foundation/RefPtr.h"
#include "ui/InstallerDialog.h"
#include "ui/RichEdit.h"
#include "ui/WindowGeometry.h"
#include "ui/WndHandler.h"

#include <richedit.h>

namespace {

constexpr int kPackageContentsResource = 130;

HWND CreateDocumentView(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    return CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_READONLY | ES_MULTILINE, 0, 0,
                           client.right, client.bottom, window, nullptr, instance, nullptr);
}

void FillClientArea(HWND window, HWND view) {
    RefPtr<LayoutHandler> layout(new LayoutHandler);
    layout->Rule(view) = LayoutRule{0, 0, 0, 0, -1};
    Attach(window, layout.get());
}

BOOL OnInitDialog(HWND window) {
    CenterWindow(window, 1);
    HWND view = CreateDocumentView(window);
    SendMessageA(view, WM_SETFONT, SendMessageA(window, WM_GETFONT, 0, 0), FALSE);
    SetRichEditBackground(view, GetSysColor(COLOR_INFOBK));
    SetRichEditText(view, LoadResourceText(kPackageContentsResource), SF_RTF);
    Attach(view, new ReadOnlyTextHandler);
    FillClientArea(window, view);
    // The text takes the keys, so that the arrow and page keys scroll it.
    SetFocus(view);
    return FALSE;
}

void OnGetMinMaxInfo(HWND window, MINMAXINFO& info) {
    NONCLIENTMETRICSA metrics = NonClientMetrics();
    info.ptMinTrackSize.x = DialogUnitsToPixelsX(window, 150) + 2 * metrics.iBorderWidth + ScaledPixels(window, 6);
    info.ptMinTrackSize.y = DialogUnitsToPixelsY(window, 100) + metrics.iSmCaptionHeight + 2 * metrics.iBorderWidth +
                            ScaledPixels(window, 7);
}

INT_PTR HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(window);
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(window, *reinterpret_cast<MINMAXINFO*>(lParam));
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
            DestroyWindow(window);
            return TRUE;
        case WM_DESTROY:
            SendMessageA(GetWindow(window, GW_OWNER), WM_PACKAGE_WINDOW_GONE, 0, 0);
            return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK PackageContentsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled =
        GuardedDialogCall(GetWindow(window, GW_OWNER), [&] { return HandleMessage(window, message, wParam, lParam); });
    return handled;
}

}  // namespace

HWND OpenPackageContentsWindow(HWND owner, const DialogTemplate& windowTemplate) {
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                      reinterpret_cast<LPCDLGTEMPLATEA>(windowTemplate.data()), owner,
                                      PackageContentsProc, 0);
}
