// Words for numeric errors: Win32/Winsock codes and HRESULTs.
#pragma once

#include <cstdint>
#include <string>

// The system's text for a Win32 or Winsock code without trailing line
// breaks; a built-in English table when the system has none; otherwise
// "Error errorCode N received.".
std::string WindowsErrorText(unsigned long code);

// "Windows error N: text" (codes above 99999 as 0x%08lx).
std::string DescribeWindowsError(unsigned long code);
std::wstring DescribeWindowsErrorW(unsigned long code);

// Text of a known HRESULT; empty for any other code.
std::wstring HresultText(std::int32_t code);
