#include "ui/WndHandler.h"

namespace {

bool AnchorsNothing(const LayoutRule& rule) {
    return rule.left < 0 && rule.top < 0 && rule.right < 0 && rule.bottom < 0;
}

// One axis: the near and far edges of the child, the anchors, and the
// parent's extent on that axis.
void Anchor(LONG& nearEdge, LONG& farEdge, std::int32_t nearMargin, std::int32_t farMargin, int extent) {
    LONG oldNear = nearEdge;
    LONG oldFar = farEdge;
    if (nearMargin >= 0) {
        nearEdge = nearMargin;
        if (farMargin < 0) farEdge = oldFar + nearMargin - oldNear;
    }
    if (farMargin >= 0) {
        farEdge = extent - farMargin;
        if (nearMargin < 0) nearEdge = extent + oldNear - farMargin - oldFar;
    }
}

void Apply(HWND parent, HWND child, const LayoutRule& rule, int width, int height) {
    RECT rect;
    if (!IsWindow(child) || !GetWindowRect(child, &rect)) return;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);

    Anchor(rect.left, rect.right, rule.left, rule.right, width);
    Anchor(rect.top, rect.bottom, rule.top, rule.bottom, height);
    MoveWindow(child, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    if (rule.redraw >= 0) InvalidateRect(child, nullptr, rule.redraw > 0);
}

// Rules that anchor nothing are dropped rather than applied.
template <typename Key, typename ChildOf>
void ApplyAll(std::map<Key, LayoutRule>& rules, HWND parent, int width, int height, ChildOf childOf) {
    for (auto entry = rules.begin(); entry != rules.end();) {
        if (AnchorsNothing(entry->second)) {
            entry = rules.erase(entry);
            continue;
        }
        Apply(parent, childOf(entry->first), entry->second, width, height);
        ++entry;
    }
}

}  // namespace

LayoutRule& LayoutHandler::Rule(HWND child) {
    return m_byWindow[child];
}

LayoutRule& LayoutHandler::Rule(int controlId) {
    return m_byId[controlId];
}

void LayoutHandler::Layout(HWND parent) {
    RECT client;
    if (GetClientRect(parent, &client)) LayOut(parent, client.right, client.bottom);
}

void LayoutHandler::LayOut(HWND parent, int width, int height) {
    ApplyAll(m_byWindow, parent, width, height, [](HWND child) { return child; });
    ApplyAll(m_byId, parent, width, height, [parent](int id) { return GetDlgItem(parent, id); });
}

LRESULT LayoutHandler::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallPrevious(window, message, wParam, lParam);
    if (message == WM_SIZE && wParam != SIZE_MINIMIZED) LayOut(window, LOWORD(lParam), HIWORD(lParam));
    return result;
}
