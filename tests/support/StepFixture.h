// Common ground of the shortcut, association and registration step tests:
// a scratch directory, default unattended options with a started command
// list, and message boxes answered from another thread.
#pragma once

#include "foundation/Win.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

class StepTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string At(const std::string& name) const { return m_dir + "\\" + name; }
    // The command list as the flow starts it.
    static void RestartCommands();
    // What the steps appended to the command list since it was started.
    static std::string AppendedCommands();

    std::string m_dir;
};

// Answers the next message box with this caption (from a thread of its
// own, since the step's box blocks the test's thread) and keeps what it
// showed.
class BoxAnswerer {
public:
    BoxAnswerer(const std::string& caption, int button);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // Waits for the answer; empty text when no box came.
    std::string Text();

private:
    void Join();

    std::string m_text;
    std::thread m_thread;
};
