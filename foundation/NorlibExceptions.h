// Exceptions built from a failed call result: the text is the result's
// failure text; operation, code and description stay inspectable.
#pragma once

#include "foundation/CallResult.h"
#include "foundation/TException.h"

namespace Norlib {

class BaseException : public TException {
public:
    using TException::TException;
};

template <typename Code>
class BaseExceptionEx : public BaseException {
public:
    explicit BaseExceptionEx(const CallResult& failed)
        : BaseException(failed.ResultText()), m_operation(failed.OperationName()),
          m_code(static_cast<Code>(failed.Code())), m_description(failed.CodeDescription()) {}

    const std::wstring& OperationName() const { return m_operation; }
    Code ErrorCode() const { return m_code; }
    const std::wstring& CodeDescription() const { return m_description; }

private:
    std::wstring m_operation;
    Code m_code;
    std::wstring m_description;
};

class ComException : public BaseExceptionEx<long> {
public:
    using BaseExceptionEx<long>::BaseExceptionEx;
};

class RegException : public BaseExceptionEx<unsigned long> {
public:
    using BaseExceptionEx<unsigned long>::BaseExceptionEx;
};

}  // namespace Norlib
