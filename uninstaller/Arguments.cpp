#include "uninstaller/Arguments.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>
#include "contract/UninstallContract.h"
#include "foundation/CommandLineSplit.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Blank-separated items; double quotes group blanks and are dropped.
std::vector<std::string> SplitItems(const std::string& text) {
    const CommandLineSplit split = SplitCommandLine(text, kQuotesGroup);
    if (split.openQuote) throw ArgumentError("unterminated double quote");
    std::vector<std::string> items;
    for (const CommandLineSpan& span : split.items) {
        std::string item = text.substr(span.start, span.end - span.start);
        item.erase(std::remove(item.begin(), item.end(), '"'), item.end());
        items.push_back(item);
    }
    return items;
}

// A switch without its leading '-', which may as well be a '/'.
const char* Name(const char* option) {
    return option + 1;
}

// Case-insensitive test for "-name=" or "/name=" (or the bare flag name);
// on a match `value` receives what follows the '='.
bool MatchOption(const std::string& item, const char* name, std::string& value) {
    if (item.empty() || (item[0] != '-' && item[0] != '/')) return false;
    const size_t length = std::strlen(name);
    if (item.size() < 1 + length || _strnicmp(item.c_str() + 1, name, length) != 0) return false;
    const bool takesValue = name[length - 1] == '=';
    if (!takesValue && item.size() != 1 + length) return false;
    value = item.substr(1 + length);
    return true;
}

HANDLE ParseHandle(const std::string& option, const std::string& text) {
    const std::uintptr_t value = ParseHandleValue(text);
    if (value == 0) throw ArgumentError("bad handle value in -" + option + text);
    return reinterpret_cast<HANDLE>(value);
}

}  // namespace

std::string CommandLineTail(const std::string& commandLine) {
    size_t end;
    if (!commandLine.empty() && commandLine[0] == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        end = 0;
        while (end < commandLine.size() && !IsBlank(commandLine[end])) ++end;
    }
    return commandLine.substr(end);
}

Arguments ParseArguments(const std::string& tail) {
    Arguments args;
    std::string value;
    for (const std::string& item : SplitItems(tail)) {
        if (MatchOption(item, Name(kUnattendedSwitch), value))
            args.unattended = true;
        else if (MatchOption(item, Name(kResultSwitch), value))
            args.resultSection = ParseHandle(Name(kResultSwitch), value);
        else if (MatchOption(item, Name(kDoneSwitch), value))
            args.doneEvent = ParseHandle(Name(kDoneSwitch), value);
        else if (MatchOption(item, "parent=", value))
            args.parent = ParseHandle("parent=", value);
        else if (MatchOption(item, "parentPath=", value))
            args.parentPath = value;
        else if (item[0] == '-' || item[0] == '/')
            throw ArgumentError("unknown option " + item);
        else if (!args.keyName.empty())
            throw ArgumentError("unexpected argument " + item);
        else
            args.keyName = item;
    }
    if (args.keyName.empty()) throw ArgumentError("the product's key name is missing");
    if (args.keyName.find('\\') != std::string::npos) throw ArgumentError("bad key name " + args.keyName);
    if ((args.resultSection == nullptr) != (args.doneEvent == nullptr))
        throw ArgumentError(std::string(kResultSwitch) + " and " + kDoneSwitch + " go together");
    if (args.IsCopy() && args.parentPath.empty()) throw ArgumentError("-parent= without -parentPath=");
    return args;
}
