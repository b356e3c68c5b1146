#include "foundation/Text.h"

#include "foundation/Win.h"

#include <mbstring.h>

#include <climits>

namespace {

UINT Resolve(unsigned codePage) {
    return codePage != 0 ? codePage : GetACP();
}

}  // namespace

// Flags 0 and no default character: the system's default character stands
// for what the code page cannot show, and UTF-7/UTF-8 accept no other.
std::string WideToMultiByte(const std::wstring& text, unsigned codePage) {
    if (text.empty() || text.size() > INT_MAX) return std::string();
    const UINT page = Resolve(codePage);
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(page, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size < 1) return std::string();
    std::string result(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(page, 0, text.data(), length, &result[0], size, nullptr, nullptr);
    if (written < 1) return std::string();
    result.resize(static_cast<std::size_t>(written));
    return result;
}

std::wstring MultiByteToWide(const std::string& text, unsigned codePage) {
    if (text.empty() || text.size() > INT_MAX) return std::wstring();
    const UINT page = Resolve(codePage);
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(page, 0, text.data(), length, nullptr, 0);
    if (size < 1) return std::wstring();
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    const int written = MultiByteToWideChar(page, 0, text.data(), length, &result[0], size);
    if (written < 1) return std::wstring();
    result.resize(static_cast<std::size_t>(written));
    return result;
}

bool WideToMultiByteExactly(const std::wstring& text, std::string& result, unsigned codePage) {
    // A round trip shows best-fit and default characters in every code page.
    result = WideToMultiByte(text, codePage);
    return MultiByteToWide(result, codePage) == text;
}

bool SameText(const std::string& first, const std::string& second) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(first.c_str()),
                    reinterpret_cast<const unsigned char*>(second.c_str())) == 0;
}

std::string UpperCase(std::string text) {
    if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}
