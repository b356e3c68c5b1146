#include "foundation/CallResult.h"

#include "foundation/Errors.h"
#include "foundation/Text.h"

void CallResult::Record(const std::wstring& operation, std::uint32_t code) {
    m_operation = operation;
    m_code = code;
}

void CallResult::Assign(const CallResult& other) {
    m_operation = other.m_operation;
    m_code = other.m_code;
}

// "<operation> failed: <kind> error: <code>: <description>", with
// "error code: " when there is no kind and "." when there is no description.
std::wstring CallResult::FailureText() const {
    std::wstring text = OperationName() + L" failed: ";
    const std::wstring kind = Kind();
    text += kind.empty() ? std::wstring(L"error code: ") : kind + L" error: ";
    text += CodeInDecimal();
    const std::wstring description = CodeDescription();
    text += description.empty() ? std::wstring(L".") : L": " + description;
    return text;
}

std::wstring WinCallResult::CodeDescription() const {
    return MultiByteToWide(WindowsErrorText(Code()));
}

std::wstring WinCallResult::CodeInDecimal() const {
    return std::to_wstring(Code());
}

std::wstring ComCallResult::CodeDescription() const {
    return HresultText(static_cast<std::int32_t>(Code()));
}

std::wstring ComCallResult::CodeInDecimal() const {
    return std::to_wstring(static_cast<std::int32_t>(Code()));
}
