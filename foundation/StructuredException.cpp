#include "foundation/StructuredException.h"

#include "foundation/Win.h"

#include <new>

namespace {

struct Kind {
    std::uint32_t code;
    const char* name;
    void (*raise)(std::uint32_t code);  // throws
};

template <typename E>
[[noreturn]] void Raise(std::uint32_t code) {
    throw E(code);
}

const Kind kKinds[] = {
    {EXCEPTION_ACCESS_VIOLATION, "EXCEPTION_ACCESS_VIOLATION", Raise<SE_AccessViolation>},
    {EXCEPTION_BREAKPOINT, "EXCEPTION_BREAKPOINT", Raise<SE_Breakpoint>},
    {EXCEPTION_DATATYPE_MISALIGNMENT, "EXCEPTION_DATATYPE_MISALIGNMENT", Raise<SE_DatatypeMisalignment>},
    {EXCEPTION_SINGLE_STEP, "EXCEPTION_SINGLE_STEP", Raise<SE_SingleStep>},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "EXCEPTION_ARRAY_BOUNDS_EXCEEDED", Raise<SE_ArrayBoundsExceeded>},
    {EXCEPTION_FLT_DENORMAL_OPERAND, "EXCEPTION_FLT_DENORMAL_OPERAND", Raise<SE_FltDenormalOperand>},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, "EXCEPTION_FLT_DIVIDE_BY_ZERO", Raise<SE_FltDivideByZero>},
    {EXCEPTION_FLT_INEXACT_RESULT, "EXCEPTION_FLT_INEXACT_RESULT", Raise<SE_FltInexactResult>},
    {EXCEPTION_FLT_INVALID_OPERATION, "EXCEPTION_FLT_INVALID_OPERATION", Raise<SE_FltInvalidOperation>},
    {EXCEPTION_FLT_OVERFLOW, "EXCEPTION_FLT_OVERFLOW", Raise<SE_FltOverflow>},
    {EXCEPTION_FLT_STACK_CHECK, "EXCEPTION_FLT_STACK_CHECK", Raise<SE_FltStackCheck>},
    {EXCEPTION_FLT_UNDERFLOW, "EXCEPTION_FLT_UNDERFLOW", Raise<SE_FltUnderflow>},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "EXCEPTION_INT_DIVIDE_BY_ZERO", Raise<SE_IntDivideByZero>},
    {EXCEPTION_INT_OVERFLOW, "EXCEPTION_INT_OVERFLOW", Raise<SE_IntOverflow>},
    {EXCEPTION_PRIV_INSTRUCTION, "EXCEPTION_PRIV_INSTRUCTION", Raise<SE_PrivInstruction>},
    {EXCEPTION_NONCONTINUABLE_EXCEPTION, "EXCEPTION_NONCONTINUABLE_EXCEPTION", Raise<SE_NoncontinuableException>},
};

const Kind* FindKind(std::uint32_t code) {
    for (const Kind& kind : kKinds) {
        if (kind.code == code) return &kind;
    }
    return nullptr;
}

}  // namespace

const char* StructuredException::what() const noexcept {
    const Kind* kind = FindKind(m_code);
    return kind != nullptr ? kind->name : "unrecognized structured exception";
}

void ThrowStructuredException(std::uint32_t code) {
    if (const Kind* kind = FindKind(code)) kind->raise(code);
    throw StructuredException(code);
}

namespace {

// The standard class's own text names the class, not the failure.
class BadAllocation : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "bad allocation"; }
};

void OnOutOfMemory() {
    throw BadAllocation();
}

}  // namespace

void InstallOutOfMemoryHandler() {
    std::set_new_handler(OnOutOfMemory);
}
