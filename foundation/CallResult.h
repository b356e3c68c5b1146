// Records the last system call of a wrapper (registry key, COM instance,
// file) and composes its success and failure texts.
#pragma once

#include <cstdint>
#include <string>

class CallResult {
public:
    virtual ~CallResult() = default;

    virtual bool Succeeded() const = 0;
    virtual bool Failed() const { return !Succeeded(); }
    virtual std::wstring OperationName() const { return m_operation; }
    virtual std::uint32_t Code() const { return m_code; }
    virtual std::wstring CodeDescription() const { return std::wstring(); }
    virtual std::wstring ResultText() const { return Succeeded() ? SuccessText() : FailureText(); }
    virtual void Assign(const CallResult& other);
    virtual std::wstring Kind() const { return std::wstring(); }
    virtual std::wstring SuccessText() const { return m_operation + L" succeeded."; }
    virtual std::wstring FailureText() const;

    // Stores the call just made; wrappers call this right after each call.
    void Record(const std::wstring& operation, std::uint32_t code);

protected:
    CallResult() = default;
    CallResult(const CallResult&) = default;
    CallResult& operator=(const CallResult&) = default;

    // The code as printed in the failure text.
    virtual std::wstring CodeInDecimal() const = 0;

private:
    std::wstring m_operation;
    std::uint32_t m_code = 0;
};

// Win32 error codes: success is 0.
class WinCallResult : public CallResult {
public:
    bool Succeeded() const override { return Code() == 0; }
    std::wstring CodeDescription() const override;
    std::wstring Kind() const override { return L"Windows"; }

protected:
    std::wstring CodeInDecimal() const override;
};

// HRESULT codes: success is any non-negative value.
class ComCallResult : public CallResult {
public:
    bool Succeeded() const override { return static_cast<std::int32_t>(Code()) >= 0; }
    std::wstring CodeDescription() const override;
    std::wstring Kind() const override { return L"COM"; }

protected:
    std::wstring CodeInDecimal() const override;
};
