// The installer's command line. Any text of up to 32767 UTF-16 units (the
// longest a process can be given) splits into items inside it, each option
// found by its name in any ASCII case and reported until it is used. A list
// of arguments quoted by the installer's rules splits back into exactly
// those arguments.
#include "installer/CmdLine.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr unsigned kInstallerFlags = CmdLine::BackslashEscapes | CmdLine::QuoteGrouping | CmdLine::SlashOptions;
constexpr std::size_t kMaxCommandLine = 32767;

[[noreturn]] void Fail(const char* property) {
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
}

bool IsBlank(wchar_t c) {
    return c == L'\r' || c == L'\n' || c == L'\t' || c == L' ';
}

wchar_t Lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = Lower(c);
    return text;
}

std::wstring Flipped(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
        else if (c >= L'A' && c <= L'Z')
            c = Lower(c);
    return text;
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Arbitrary text: the program name is reported only when asked for; the
// first option lies inside the text, is found under its name in flipped
// case, and once used its line is gone from the report.
void CheckAnyText(const std::wstring& text) {
    CmdLine cmdLine(text, kInstallerFlags);
    const std::wstring before = cmdLine.unusedItemsReport(true);
    const std::wstring withoutProgram = cmdLine.unusedItemsReport(false);
    if (cmdLine.positionalCount() > 0 && (before.size() <= withoutProgram.size() || !EndsWith(before, withoutProgram)))
        Fail("the program name reported when it should not be, or not when it should");
    const CmdLineToken* option = cmdLine.firstOption();
    if (option == nullptr) return;
    if (option->start >= option->end || option->end > text.size()) Fail("an item outside the command line");
    const std::wstring line =
        L"Invalid command parameter: -" + option->text + (option->hasValue ? L"=" + option->value : L"") + L".";
    std::wstring value;
    const bool found = option->hasValue ? cmdLine.getValue(Flipped(option->text), value, true)
                                        : cmdLine.hasFlag(Flipped(option->text), true);
    if (!found || value != option->value) Fail("an option not found under its name in another case");
    const std::wstring after = cmdLine.unusedItemsReport(true);
    const std::size_t at = before.find(line);
    if (at == std::wstring::npos || after.size() + line.size() + (after.empty() ? 0 : 1) != before.size())
        Fail("a used option still reported");
}

// How the installer's own rules quote one argument: every backslash and
// quote escaped, blanks inside quotes.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring escaped;
    bool blank = false;
    for (wchar_t c : argument) {
        if (c == L'\\' || c == L'"') escaped += L'\\';
        escaped += c;
        blank = blank || IsBlank(c);
    }
    return blank ? L"\"" + escaped + L"\"" : escaped;
}

struct Expected {
    std::size_t positional = 1;
    std::wstring report;                                            // the positional arguments, never used
    std::map<std::wstring, std::pair<bool, std::wstring>> options;  // lower-case name: hasValue, value
};

void CheckRoundTrip(const std::vector<std::wstring>& arguments) {
    std::wstring line = L"QuillmoreInstaller.exe";
    Expected expected;
    for (const std::wstring& argument : arguments) {
        line += L" " + Quoted(argument);
        const bool option = argument.size() > 1 && (argument[0] == L'-' || argument[0] == L'/');
        if (!option) {
            ++expected.positional;
            if (!expected.report.empty()) expected.report += L'\n';
            expected.report += L"Invalid command option: " + argument + L".";
            continue;
        }
        const std::size_t equals = argument.find(L'=');
        const std::wstring name = argument.substr(1, equals == std::wstring::npos ? std::wstring::npos : equals - 1);
        expected.options[Lower(name)] = {equals != std::wstring::npos,
                                         equals == std::wstring::npos ? std::wstring() : argument.substr(equals + 1)};
    }
    if (line.size() > kMaxCommandLine) return;

    CmdLine cmdLine(line, kInstallerFlags);
    if (cmdLine.positionalCount() != expected.positional) Fail("quoted arguments split into other positional items");
    for (const auto& [name, option] : expected.options) {
        std::wstring value;
        if (option.first) {
            if (!cmdLine.getValue(Flipped(name), value, true) || value != option.second)
                Fail("a quoted option's value reads back differently");
        } else if (!cmdLine.hasFlag(Flipped(name), true)) {
            Fail("a quoted flag is not found");
        }
    }
    if (cmdLine.unusedItemsReport(false) != expected.report)
        Fail("used options still reported, or positional items missing from the report");
}

}  // namespace

// The first byte chooses: odd, a list of arguments as FuzzedDataProvider
// strings; even, the raw command line in UTF-16LE.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0) return 0;
    const bool arguments = data[0] % 2 == 1;
    ++data;
    --size;
    if (arguments) {
        FuzzedDataProvider input(data, size);
        std::vector<std::wstring> list;
        while (input.remaining_bytes() > 0 && list.size() < 64) {
            std::wstring argument;
            for (unsigned char c : input.ConsumeRandomLengthString(256)) argument += static_cast<wchar_t>(c);
            if (!argument.empty()) list.push_back(argument);
        }
        CheckRoundTrip(list);
        return 0;
    }
    std::wstring text;
    for (std::size_t at = 0; at + 1 < size && text.size() < kMaxCommandLine; at += 2)
        text += static_cast<wchar_t>(data[at] | data[at + 1] << 8);
    CheckAnyText(text);
    return 0;
}
