#include "support/UninstallFixture.h"

#include "support/Files.h"

#include <stdexcept>

namespace uninstall_test {

std::string CommandList(const Commands& commands) {
    std::string list;
    for (const auto& command : commands) {
        if (!list.empty()) list += ' ';
        list += '"' + command.first + command.second + '"';
    }
    return list;
}

CapturedOutput::CapturedOutput() {
    m_path = TemporaryFileName("out");
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    m_file = CreateFileA(m_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         &inheritable, CREATE_ALWAYS, 0, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot capture output in " + m_path);
    m_previous = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, m_file);
}

CapturedOutput::~CapturedOutput() {
    Text();
}

std::string CapturedOutput::Text() {
    if (m_active) {
        SetStdHandle(STD_OUTPUT_HANDLE, m_previous);
        CloseHandle(m_file);
        m_active = false;
    }
    return ReadFileBytes(m_path);
}

}  // namespace uninstall_test
