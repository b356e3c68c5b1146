#include "foundation/VellString.h"

#include <cstring>

namespace {

constexpr char kSource[] = "foundation/VellString.cpp";
// These checks report fixed line numbers, whatever the layout of this file;
// checks added since report their real line.
constexpr unsigned kInsertText = 16;
constexpr unsigned kInsertString = 33;
constexpr unsigned kInsertOffset = 34;
constexpr unsigned kInsertExtend = 37;

}  // namespace

void VellString::insert(std::uint32_t position, const char* text, std::uint32_t count) {
    VELL_ASSERT(!af_, kSource, kInsertText);
    if (text == nullptr) {
        count = 0;
    } else if (count == npos) {
        count = static_cast<std::uint32_t>(std::strlen(text));
    }
    insertChars(position, text, count);
}

void VellString::insert(std::uint32_t position, const VellString& str, std::uint32_t off, std::uint32_t extend) {
    VELL_ASSERT(!af_ && !str.af_, kSource, kInsertString);
    VELL_ASSERT(off <= str.size(), kSource, kInsertOffset);
    if (extend == npos) extend = str.size() - off;
    // Compared without the sum, which could wrap around, and without the
    // zero byte, which is no character to copy.
    if (extend > str.size() - off) AssertFailed("off + extend <= str.size() + 1", kSource, kInsertExtend);
    insertChars(position, str.p_ + off, extend);
}

void VellString::erase(std::uint32_t position, std::uint32_t count) {
    const std::uint32_t current = length();
    VELL_ASSERT(position <= length(), kSource, __LINE__);
    if (count > current - position) count = current - position;
    datavect<char>::erase(position, count);
}

void VellString::insertChars(std::uint32_t position, const char* text, std::uint32_t count) {
    const std::uint32_t current = length();
    if (position == npos) position = current;
    VELL_ASSERT(position <= length(), kSource, __LINE__);
    if (count == 0) return;

    const std::uint64_t needed = std::uint64_t{current} + count + 1;
    const bool hadZero = s_ != 0;
    insertAt(position, text, count, needed);
    if (af_ == 0 && !hadZero) p_[s_++] = '\0';
}
