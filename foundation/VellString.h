// Narrow string of the container layer: a datavect of char whose element
// count includes the terminating zero byte, so a string of n characters
// holds n + 1 elements and an empty string owns no memory. Allocation
// failures follow datavect's rules.
#pragma once

#include "foundation/datavect.h"

#include <cstdint>

class VellString : private datavect<char> {
public:
    // As a position: the end of the string; as a count: up to the end.
    static constexpr std::uint32_t npos = 0xFFFFFFFF;

    VellString() = default;
    VellString(VellString&&) noexcept = default;
    VellString& operator=(VellString&&) noexcept = default;

    using datavect<char>::af;
    using datavect<char>::capacity;
    using datavect<char>::setWipeHook;

    std::uint32_t length() const {
        const std::uint32_t elements = datavect<char>::size();
        return elements == 0 ? 0 : elements - 1;
    }
    std::uint32_t size() const { return length(); }

    const char* c_str() const {
        const char* text = data();
        return text != nullptr ? text : "";
    }

    // The report of a failed check quotes the expression as written here.
    // clang-format off
    char& operator[](std::uint32_t i) {
        VELL_ASSERT(!af_ && i<length(), kHeader, kIndex);
        return p_[i];
    }
    const char& operator[](std::uint32_t i) const {
        VELL_ASSERT(!af_ && i<length(), kHeader, kIndexConst);
        return p_[i];
    }
    // clang-format on

    // Inserts count characters of text (npos: up to its zero byte; a null
    // text counts as empty) before position (npos: at the end).
    void insert(std::uint32_t position, const char* text, std::uint32_t count = npos);

    // Inserts extend characters of str from off (npos: to its end); str may
    // be this string.
    void insert(std::uint32_t position, const VellString& str, std::uint32_t off, std::uint32_t extend = npos);

    // Removes up to count characters from position; the zero byte stays.
    void erase(std::uint32_t position, std::uint32_t count = npos);

private:
    static constexpr const char* kHeader = "foundation/VellString.h";
    // Report line numbers are fixed, whatever the layout of this file.
    static constexpr unsigned kIndex = 146;
    static constexpr unsigned kIndexConst = 150;

    void insertChars(std::uint32_t position, const char* text, std::uint32_t count);
};
