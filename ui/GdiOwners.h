// Owners for the GDI objects and device contexts the window code creates.
#pragma once

#include "foundation/UniqueHandle.h"
#include "foundation/Win.h"

template <typename Object>
struct GdiObjectTraits {
    using Value = Object;
    static Object Invalid() { return nullptr; }
    static void Close(Object object) { DeleteObject(object); }
};

using UniqueFont = UniqueOwner<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueOwner<GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = UniqueOwner<GdiObjectTraits<HBITMAP>>;

// A device context from GetWindowDC or GetDC, released on destruction.
class WindowDeviceContext {
public:
    enum Area { WholeWindow, ClientArea };

    WindowDeviceContext(HWND window, Area area)
        : m_window(window), m_dc(area == WholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    WindowDeviceContext(const WindowDeviceContext&) = delete;
    WindowDeviceContext& operator=(const WindowDeviceContext&) = delete;
    ~WindowDeviceContext() {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }

    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// Keeps an object selected into a device context for one scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (m_previous) SelectObject(m_dc, m_previous);
    }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
