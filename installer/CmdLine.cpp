#include "installer/CmdLine.h"

#include <algorithm>

namespace {

wchar_t FoldCase(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

bool CmdLine::NameLess::operator()(const std::wstring& a, const std::wstring& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return FoldCase(x) < FoldCase(y); });
}

CmdLine::CmdLine(const std::wstring& commandLine, unsigned flags) : m_raw(commandLine), m_flags(flags) {
    // Quotes stay in the items until they are unescaped.
    const unsigned rules =
        ((m_flags & QuoteGrouping) ? kQuotesGroup : 0u) | ((m_flags & BackslashEscapes) ? kBackslashEscapesQuote : 0u);
    for (const CommandLineSpan& raw : SplitCommandLine(m_raw, rules).items) AddItem(raw, m_items.empty());
}

std::wstring CmdLine::Unescape(const std::wstring& item) const {
    std::wstring text;
    bool pendingBackslash = false;
    bool quoteSkipped = false;
    for (wchar_t c : item) {
        if (c == L'\\' && (m_flags & BackslashEscapes)) {
            if (!pendingBackslash) text += c;
            pendingBackslash = !pendingBackslash;
            quoteSkipped = false;
        } else if (c == L'"' && (m_flags & QuoteGrouping)) {
            if (quoteSkipped) {
                text += c;
                quoteSkipped = false;
            } else if (pendingBackslash) {
                text.back() = c;
                pendingBackslash = false;
            } else {
                quoteSkipped = true;
            }
        } else {
            text += c;
            pendingBackslash = false;
            quoteSkipped = false;
        }
    }
    return text;
}

void CmdLine::AddItem(const CommandLineSpan& raw, bool isProgramName) {
    const std::wstring text = Unescape(m_raw.substr(raw.start, raw.end - raw.start));
    if (text.empty()) return;
    CmdLineToken token{
        static_cast<std::uint16_t>(raw.start), static_cast<std::uint16_t>(raw.end), false, text, false, std::wstring()};
    const bool isOption =
        !isProgramName && text.size() > 1 && (text[0] == L'-' || (text[0] == L'/' && (m_flags & SlashOptions)));
    if (!isOption) {
        m_positional.push_back(m_items.size());
        m_items.push_back(token);
        return;
    }
    const std::size_t equals = text.find(L'=');
    token.text = text.substr(1, equals == std::wstring::npos ? std::wstring::npos : equals - 1);
    token.hasValue = equals != std::wstring::npos;
    if (token.hasValue) token.value = text.substr(equals + 1);

    const auto known = m_options.find(token.text);
    if (known != m_options.end()) {
        CmdLineToken& earlier = m_items[known->second];
        earlier.hasValue = token.hasValue;
        earlier.value = token.value;
        return;
    }
    m_options.emplace(token.text, m_items.size());
    m_items.push_back(token);
}

const CmdLineToken* CmdLine::firstOption() const {
    return m_options.empty() ? nullptr : &m_items[m_options.begin()->second];
}

std::size_t CmdLine::FlagIndex(const std::wstring& name) const {
    const auto found = m_options.find(name);
    if (found == m_options.end() || m_items[found->second].hasValue) return notFound;
    return found->second;
}

bool CmdLine::hasFlag(const std::wstring& name, bool markUsed) {
    const std::size_t index = FlagIndex(name);
    if (index == notFound) return false;
    if (markUsed) m_items[index].used = true;
    return true;
}

bool CmdLine::getValue(const std::wstring& name, std::wstring& value, bool markUsed) {
    const auto found = m_options.find(name);
    if (found == m_options.end() || !m_items[found->second].hasValue) return false;
    CmdLineToken& option = m_items[found->second];
    value = option.value;
    if (markUsed) option.used = true;
    return true;
}

bool CmdLine::isHelpRequested() const {
    return FlagIndex(L"?") != notFound || FlagIndex(L"h") != notFound || FlagIndex(L"help") != notFound;
}

std::wstring CmdLine::unusedItemsReport(bool includeProgramName) const {
    std::wstring report;
    auto addLine = [&report](const std::wstring& line) {
        if (!report.empty()) report += L'\n';
        report += line;
    };
    for (std::size_t index : m_positional) {
        if (index == 0 && !includeProgramName) continue;
        if (!m_items[index].used) addLine(L"Invalid command option: " + m_items[index].text + L".");
    }
    for (const auto& entry : m_options) {
        const CmdLineToken& option = m_items[entry.second];
        if (option.used) continue;
        addLine(L"Invalid command parameter: -" + option.text + (option.hasValue ? L"=" + option.value : L"") + L".");
    }
    return report;
}
