// A general command-line parser: splits the raw process command line into
// positional items and named options, remembers which were consumed, and
// reports the rest. Pure text work, free of Windows headers; only
// checkAllUsed (defined beside the installer's options in InstallFlow.cpp)
// converts to the ANSI code page.
#pragma once

#include "foundation/CommandLineSplit.h"
#include "foundation/Errors.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct CmdLineToken {
    std::uint16_t start;  // position of the item in the raw command line
    std::uint16_t end;    // just behind it
    bool used;
    std::wstring text;   // positional text, or the option's name without '-' or '/'
    bool hasValue;       // written with '='
    std::wstring value;  // behind the first '='
};

class CmdLine {
public:
    class Err : public TException {
    public:
        using TException::TException;
    };

    enum Flags : unsigned {
        BackslashEscapes = 1,  // "\\" is one backslash, "\"" a literal quote
        QuoteGrouping = 2,     // quotes group blanks; "" inside an item is one quote
        SlashOptions = 4,      // '/' introduces an option as well as '-'
    };

    // Option names compare without regard to ASCII letter case. The first
    // item is the program name and always positional, whatever it starts with.
    CmdLine(const std::wstring& commandLine, unsigned flags);

    // Positional items, the program name included.
    std::size_t positionalCount() const { return m_positional.size(); }

    // The first option in name order, unmarked; null when there is none.
    const CmdLineToken* firstOption() const;

    // Present and written without '='.
    bool hasFlag(const std::wstring& name, bool markUsed);
    // Present and written with '='; an option without '=' stays unused.
    bool getValue(const std::wstring& name, std::wstring& value, bool markUsed);

    // "-?", "-h" or "-help" given as a flag; marks nothing.
    bool isHelpRequested() const;

    // One line per item that no lookup consumed; empty when all were.
    std::wstring unusedItemsReport(bool includeProgramName) const;
    // Throws Err with that report unless it is empty.
    void checkAllUsed(bool includeProgramName) const;

private:
    struct NameLess {
        bool operator()(const std::wstring& a, const std::wstring& b) const;
    };

    std::wstring Unescape(const std::wstring& item) const;
    void AddItem(const CommandLineSpan& raw, bool isProgramName);
    static constexpr std::size_t notFound = static_cast<std::size_t>(-1);
    std::size_t FlagIndex(const std::wstring& name) const;

    std::wstring m_raw;
    unsigned m_flags;
    std::vector<CmdLineToken> m_items;
    std::vector<std::size_t> m_positional;
    std::map<std::wstring, std::size_t, NameLess> m_options;
};
