// Common ground of the tests of single steps: a scratch directory of the
// test's own, default unattended options, and message boxes answered from
// another thread.
#pragma once

#include "foundation/Win.h"
#include "support/Files.h"
#include "support/SystemText.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

// The exit code of the SilentExit that ends the call; 0 when it returns.
int ExitCodeOf(const std::function<void()>& call);

// One way the flow may meet a step's failure: the mode, the answer to the
// step's question, and what must come of it.
struct FailureCase {
    bool interactive;
    bool force;
    int answer;
    int exitCode;  // 0: the installation goes on
    std::string lines;
};

// Options point into the scratch directory; the command list is empty.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Full path of name inside the scratch directory.
    std::string At(const std::string& name) const { return m_dir + "\\" + name; }

    // The output of engine_probe.exe beside the test, line ends as "\n".
    static std::string Probe(const std::string& arguments);
    // Has Wine present engine_probe.exe as the system of this version name;
    // returns the family the probe then reports.
    static std::string ProbeAs(const std::string& version);

    std::string m_dir;

private:
    // The scratch directory's name in the temporary folder.
    virtual std::string DirectoryName() const;
};

// As the flow starts them: the scratch directory's name has a blank, and the
// command list holds its first entry.
class StepTest : public EngineTest {
protected:
    void SetUp() override;

    // The command list as the flow starts it.
    static void RestartCommands();
    // What the steps appended to the command list since it was started.
    static std::string AppendedCommands();
    // Runs the failing step once in each case's mode on a restarted command
    // list, answering the box of this caption in interactive runs, and
    // expects the case's exit code and console lines, this question in the
    // box, no command recorded, and what afterEach checks.
    static void ExpectDecisions(
        const std::vector<FailureCase>& cases, const std::string& caption, const std::string& question,
        const std::function<void()>& step, const std::function<void()>& afterEach = [] {});

private:
    std::string DirectoryName() const override;
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
