#include "ui/TestWindows.h"
#include "ui/WndHandler.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

constexpr UINT Probe = WM_APP + 7;

// Notes the order in which handlers see the probe, and their destruction.
class RecordingHandler : public WndHandler {
public:
    RecordingHandler(int index, std::vector<int>& seen, std::vector<int>& destroyed)
        : m_index(index), m_seen(seen), m_destroyed(destroyed) {}

    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == Probe) m_seen.push_back(m_index);
        return CallPrevious(window, message, wParam, lParam);
    }

protected:
    ~RecordingHandler() override { m_destroyed.push_back(m_index); }

private:
    int m_index;
    std::vector<int>& m_seen;
    std::vector<int>& m_destroyed;
};

TEST(WndHandlerSlots, TenHandlersChainNewestFirstAndAnEleventhIsRefusedWithError84) {
    TestWindow dialog = CreateTestDialog(100, 50);
    std::vector<int> seen, destroyed;
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(Attach(dialog.get(), new RecordingHandler(i, seen, destroyed)));
    LONG_PTR procedureOfTen = GetWindowLongPtrA(dialog.get(), GWLP_WNDPROC);

    SetLastError(0);
    EXPECT_FALSE(Attach(dialog.get(), new RecordingHandler(10, seen, destroyed)));
    EXPECT_EQ(84u, GetLastError());
    EXPECT_EQ(procedureOfTen, GetWindowLongPtrA(dialog.get(), GWLP_WNDPROC));
    EXPECT_EQ(std::vector<int>{10}, destroyed) << "the refused handler is not kept";

    SendMessageA(dialog.get(), Probe, 0, 0);
    EXPECT_EQ((std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}), seen);

    destroyed.clear();
    dialog.reset();
    EXPECT_EQ(10u, destroyed.size()) << "destroying the window releases every slot";
}

// Fails at the probe, as a handler whose work throws.
class ThrowingHandler : public WndHandler {
public:
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == Probe) throw std::runtime_error("handler failed");
        return CallPrevious(window, message, wParam, lParam);
    }
};

// The system's message dispatching lies between a slot procedure and the
// code that sent the message; 32-bit unwinding cannot cross it, so the
// failure travels around it.
TEST(WndHandlerSlots, AHandlersExceptionStopsAtItsProcedureAndIsThrownAgainAfterwards) {
    TestWindow dialog = CreateTestDialog(100, 50);
    ASSERT_TRUE(Attach(dialog.get(), new ThrowingHandler));
    EXPECT_EQ(0, SendMessageA(dialog.get(), Probe, 0, 0));
    try {
        RethrowUiFailure();
        ADD_FAILURE() << "the failure was not kept";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ("handler failed", e.what());
    }
    EXPECT_NO_THROW(RethrowUiFailure()) << "thrown once only";
}

}  // namespace
