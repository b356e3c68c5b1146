#include "uninstaller/Report.h"

#include "foundation/Console.h"

void Report::Line(const std::string& text) {
    ConsoleLine(text);
}

void Report::Failure(const std::string& text) {
    Line(text);
    m_failures.push_back(text);
}
