// Console lines of the uninstaller (standard output, one '\n' each, written
// at once) and the failures of one removal, kept for the closing message.
#pragma once

#include <string>
#include <vector>

class Report {
public:
    void Line(const std::string& text);
    void Failure(const std::string& text);

    bool HasFailures() const { return !m_failures.empty(); }
    const std::vector<std::string>& Failures() const { return m_failures; }

private:
    std::vector<std::string> m_failures;
};
