#include "ui/InstallerDialog.h"

#include "foundation/Text.h"

#include <cstring>

namespace {

constexpr std::uint32_t kHeaderSize = 18;  // style, extended style, item count, x, y, cx, cy
constexpr WORD kOrdinalMarker = 0xFFFF;

WORD WordAt(const DialogTemplate& bytes, std::uint32_t offset) {
    return static_cast<WORD>(bytes[offset] | bytes[offset + 1] << 8);
}

DWORD Style(const DialogTemplate& bytes) {
    DWORD style;
    std::memcpy(&style, bytes.data(), sizeof style);
    return style;
}

void SetStyle(DialogTemplate& bytes, DWORD style) {
    std::memcpy(bytes.data(), &style, sizeof style);
}

void Append(DialogTemplate& bytes, const void* data, std::size_t size) {
    bytes.insert(bytes.end(), static_cast<const BYTE*>(data), static_cast<std::ptrdiff_t>(size));
}

// Bytes of a zero-terminated UTF-16 string starting at offset.
std::uint32_t StringFieldSize(const DialogTemplate& bytes, std::uint32_t offset) {
    std::uint32_t end = offset;
    while (WordAt(bytes, end) != 0) end += 2;
    return end + 2 - offset;
}

// A menu or class field: an ordinal or a string.
std::uint32_t NameFieldSize(const DialogTemplate& bytes, std::uint32_t offset) {
    return WordAt(bytes, offset) == kOrdinalMarker ? 4 : StringFieldSize(bytes, offset);
}

std::uint32_t TitleOffset(const DialogTemplate& bytes) {
    std::uint32_t menu = kHeaderSize;
    std::uint32_t windowClass = menu + NameFieldSize(bytes, menu);
    return windowClass + NameFieldSize(bytes, windowClass);
}

void AppendUtf16(DialogTemplate& bytes, const std::string& text) {
    std::wstring wide = MultiByteToWide(text);
    Append(bytes, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

void Replace(DialogTemplate& bytes, std::uint32_t offset, std::uint32_t size, const DialogTemplate& with) {
    bytes.erase(offset, size);
    bytes.insert(bytes.begin() + offset, with.data(), with.size());
}

}  // namespace

DialogTemplate MakeDialogHeader(DWORD style, DWORD extendedStyle, WORD itemCount, short x, short y, short cx,
                                short cy) {
    DialogTemplate bytes;
    style &= ~static_cast<DWORD>(DS_SETFONT);
    Append(bytes, &style, sizeof style);
    Append(bytes, &extendedStyle, sizeof extendedStyle);
    Append(bytes, &itemCount, sizeof itemCount);
    for (short value : {x, y, cx, cy}) Append(bytes, &value, sizeof value);
    bytes.resize(kHeaderSize + 3 * sizeof(WORD));  // empty menu, class and title
    return bytes;
}

void SetDialogTitle(DialogTemplate& bytes, const std::string& text) {
    std::uint32_t title = TitleOffset(bytes);
    DialogTemplate field;
    AppendUtf16(field, text);
    Replace(bytes, title, StringFieldSize(bytes, title), field);
}

void SetDialogFont(DialogTemplate& bytes, WORD pointSize, const std::string& faceName) {
    std::uint32_t title = TitleOffset(bytes);
    std::uint32_t font = title + StringFieldSize(bytes, title);
    std::uint32_t oldFontSize = 0;
    if (Style(bytes) & DS_SETFONT)
        oldFontSize = sizeof(WORD) + StringFieldSize(bytes, font + sizeof(WORD));
    else
        SetStyle(bytes, Style(bytes) | DS_SETFONT);

    DialogTemplate field;
    Append(field, &pointSize, sizeof pointSize);
    AppendUtf16(field, faceName);
    Replace(bytes, font, oldFontSize, field);
}
