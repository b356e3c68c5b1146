// Where the items of a command line begin and end, one rule for both
// programs: an item ends at a blank (space, tab, CR, LF) outside double
// quotes. The quotes stay in the items; what they mean inside an item is the
// caller's to decide.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct CommandLineSpan {
    std::size_t start;  // position of the item in the command line
    std::size_t end;    // just behind it
};

struct CommandLineSplit {
    std::vector<CommandLineSpan> items;
    bool openQuote = false;  // the last quoted stretch was never closed
};

enum CommandLineRules : unsigned {
    kQuotesGroup = 1,            // a double quote opens or closes a stretch in which blanks do not split
    kBackslashEscapesQuote = 2,  // with an odd number of backslashes right before it, a quote is literal
};

template <typename Char>
CommandLineSplit SplitCommandLine(const std::basic_string<Char>& text, unsigned rules) {
    CommandLineSplit split;
    std::size_t start = 0, backslashes = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        if (c == Char('"') && (rules & kQuotesGroup)) {
            if (!((rules & kBackslashEscapesQuote) && backslashes % 2 == 1)) quoted = !quoted;
        } else if (!quoted && (c == Char(' ') || c == Char('\t') || c == Char('\r') || c == Char('\n'))) {
            if (i > start) split.items.push_back({start, i});
            start = i + 1;
        }
        backslashes = c == Char('\\') ? backslashes + 1 : 0;
    }
    if (text.size() > start) split.items.push_back({start, text.size()});
    split.openQuote = quoted;
    return split;
}
