#include "foundation/Errors.h"

#include "foundation/DllLoader.h"
#include "foundation/Handle.h"
#include "foundation/Text.h"
#include "foundation/VellString.h"
#include "foundation/Win.h"

#include <cstdio>

namespace {

constexpr char kSource[] = "foundation/WinErrorMessage.cpp";
// Report line number is fixed, whatever the layout of this file.
constexpr unsigned kFormatMessageCheck = 154;

struct ErrorText {
    unsigned long code;
    const char* text;
};

// English texts for codes that some systems cannot describe (network and
// Winsock codes above all).
const ErrorText kWindowsErrors[] = {
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough storage is available to process this command."},
    {14, "Not enough storage is available to complete this operation."},
    {86, "The specified network password is not correct."},
    {2221, "The user name could not be found."},
    {2226, "This operation is only allowed on the primary domain controller of the domain."},
    {2245,
     "The password does not meet the password policy requirements. Check the minimum password length, "
     "password complexity and password history requirements."},
    {2351, "This computer name is invalid."},
    {10004, "A blocking operation was interrupted by a call to WSACancelBlockingCall."},
    {10009, "The file handle supplied is not valid."},
    {10013, "An attempt was made to access a socket in a way forbidden by its access permissions."},
    {10014, "The system detected an invalid pointer address in attempting to use a pointer argument in a call."},
    {10022, "An invalid argument was supplied."},
    {10035, "A non-blocking socket operation could not be completed immediately."},
    {10036, "A blocking operation is currently executing."},
    {10037, "An operation was attempted on a non-blocking socket that already had an operation in progress."},
    {10048, "Only one usage of each socket address (protocol/network address/port is normally permitted."},
    {10049, "The requested address is not valid in its context."},
    {10050, "A socket operation encountered a dead network."},
    {10052,
     "The connection has been broken due to keep-alive activity detecting a failure while the operation "
     "was in progress."},
    {10053, "An established connection was aborted by the software in your host machine."},
    {10054, "An existing connection was forcibly closed by the remote host."},
    {10057,
     "A request to send or receive data was disallowed because the socket is not connected and (when "
     "sending on a datagram socket using a sendto call no address was supplied."},
    {10058,
     "A request to send or receive data was disallowed because the socket had already been shut down in "
     "that direction with a previous shutdown call."},
    {10060,
     "A connection attempt failed because the connected party did not properly respond after a period of "
     "time, or established connection failed because connected host has failed to respond."},
    {10061, "No connection could be made because the target machine actively refused it."},
    {11001, "No such host is known."},
};

struct HresultEntry {
    std::int32_t code;
    const wchar_t* text;
};

const HresultEntry kHresults[] = {
    {0x00000000, L"Success."},
    {0x00000001, L"Partial success."},
    {static_cast<std::int32_t>(0x80004002), L"Interface not supported error."},
    {static_cast<std::int32_t>(0x80004003), L"Pointer not valid error."},
    {static_cast<std::int32_t>(0x80004004), L"Operation aborted error."},
    {static_cast<std::int32_t>(0x80004005), L"Unspecified error."},
    {static_cast<std::int32_t>(0x8000FFFF), L"Catastrophic failure error."},
    {static_cast<std::int32_t>(0x800401E5), L"The object identified by this moniker could not be found."},
    {static_cast<std::int32_t>(0x80070005), L"General access denied error."},
    {static_cast<std::int32_t>(0x80070006), L"Handle not valid error."},
    {static_cast<std::int32_t>(0x80070057), L"One or more arguments are not valid error."},
};

// Bound by name: the oldest supported systems are checked for it rather
// than refusing to load the program.
decltype(&::FormatMessageA) BindFormatMessage() {
    const auto formatMessage = KernelFunction<decltype(&::FormatMessageA)>("FormatMessageA");
    VELL_ASSERT(formatMessage, kSource, kFormatMessageCheck);
    return formatMessage;
}

bool EndsInLineBreak(const VellString& text) {
    const std::uint32_t length = text.length();
    return length != 0 && (text[length - 1] == '\r' || text[length - 1] == '\n');
}

bool AppendSystemText(unsigned long code, VellString& text) {
    const auto formatMessage = BindFormatMessage();
    char* buffer = nullptr;
    const DWORD length = formatMessage(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    if (length == 0) return false;
    const LocalFreeHolder systemBuffer(buffer);
    text.insert(VellString::npos, buffer, length);
    if (text.af() != 0) return true;
    while (EndsInLineBreak(text)) text.erase(text.length() - 1, 1);
    return true;
}

void AppendBuiltInText(unsigned long code, VellString& text) {
    for (const ErrorText& entry : kWindowsErrors) {
        if (entry.code == code) {
            text.insert(VellString::npos, entry.text);
            return;
        }
    }
    char unknown[64];
    std::snprintf(unknown, sizeof(unknown), "Error errorCode %lu received.", code);
    text.insert(VellString::npos, unknown);
}

}  // namespace

std::string WindowsErrorText(unsigned long code) {
    VellString text;
    if (!AppendSystemText(code, text)) AppendBuiltInText(code, text);
    // Out of memory: the caller's text is empty.
    if (text.af() != 0) return std::string();
    return std::string(text.c_str(), text.length());
}

std::string DescribeWindowsError(unsigned long code) {
    char number[40];
    if (code <= 99999) {
        std::snprintf(number, sizeof(number), "Windows error %lu", code);
    } else {
        std::snprintf(number, sizeof(number), "Windows error 0x%08lx", code);
    }
    std::string description = number;
    const std::string text = WindowsErrorText(code);
    if (!text.empty()) description += ": " + text;
    return description;
}

std::wstring DescribeWindowsErrorW(unsigned long code) {
    return MultiByteToWide(DescribeWindowsError(code));
}

std::wstring HresultText(std::int32_t code) {
    for (const HresultEntry& entry : kHresults) {
        if (entry.code == code) return entry.text;
    }
    return std::wstring();
}
