// Anchors child windows to the edges of their parent's client area and
// moves them whenever the parent is resized.
#pragma once

#include "ui/WndHandler.h"

#include <cstdint>
#include <map>

// Distances in pixels from the client area's edges; a negative value leaves
// that edge free. redraw: negative for no extra repaint after the move, 0 to
// invalidate the child without erasing, greater than 0 to erase as well.
struct LayoutRule {
    std::int32_t left = -1;
    std::int32_t top = -1;
    std::int32_t right = -1;
    std::int32_t bottom = -1;
    std::int32_t redraw = -1;
};

class LayoutHandler : public WndHandler {
public:
    // The rule for a child, created free on all edges when there is none.
    LayoutRule& Rule(HWND child);
    LayoutRule& Rule(int controlId);

    // Lays the children out for the parent's current client area.
    void Layout(HWND parent);

    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LayOut(HWND parent, int width, int height);

    std::map<HWND, LayoutRule> m_byWindow;
    std::map<int, LayoutRule> m_byId;
};
