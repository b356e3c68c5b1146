// Helpers of the uninstaller and previous installation tests: the command
// list they build, the deletions a removal left pending, and the output of
// the programs they start.
#pragma once

#include "foundation/Win.h"
#include "support/Files.h"
#include "support/PendingOperations.h"
#include "support/Registry.h"

#include <string>
#include <utility>
#include <vector>

namespace uninstall_test {

// The command list in the installer's format: the first entry without a
// leading blank, then blank, quote, keyword, argument, quote.
using Commands = std::vector<std::pair<std::string, std::string>>;
std::string CommandList(const Commands& commands);

// Everything written to this process's standard output handle meanwhile
// (and so by the programs it starts, which inherit it) goes to a file.
class CapturedOutput {
public:
    CapturedOutput();
    ~CapturedOutput();
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    // Ends the capture (once) and returns the bytes.
    std::string Text();

private:
    std::string m_path;
    HANDLE m_file;
    HANDLE m_previous;
    bool m_active = true;
};

}  // namespace uninstall_test
