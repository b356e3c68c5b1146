// Structured exceptions (hardware faults and codes raised with
// RaiseException) turned into C++ exceptions, so that the program's
// handlers of std::exception report them by name.
#pragma once

#include <cstdint>
#include <exception>

class StructuredException : public std::exception {
public:
    explicit StructuredException(std::uint32_t code) : m_code(code) {}

    std::uint32_t code() const { return m_code; }
    // The name of the code, e.g. "EXCEPTION_ACCESS_VIOLATION", or
    // "unrecognized structured exception".
    const char* what() const noexcept override;

private:
    std::uint32_t m_code;
};

// One class per recognised code, so that a handler can pick one kind.
#define VELL_STRUCTURED_EXCEPTION(name)                 \
    class name : public StructuredException {           \
    public:                                             \
        using StructuredException::StructuredException; \
    }

VELL_STRUCTURED_EXCEPTION(SE_AccessViolation);
VELL_STRUCTURED_EXCEPTION(SE_Breakpoint);
VELL_STRUCTURED_EXCEPTION(SE_DatatypeMisalignment);
VELL_STRUCTURED_EXCEPTION(SE_SingleStep);
VELL_STRUCTURED_EXCEPTION(SE_ArrayBoundsExceeded);
VELL_STRUCTURED_EXCEPTION(SE_FltDenormalOperand);
VELL_STRUCTURED_EXCEPTION(SE_FltDivideByZero);
VELL_STRUCTURED_EXCEPTION(SE_FltInexactResult);
VELL_STRUCTURED_EXCEPTION(SE_FltInvalidOperation);
VELL_STRUCTURED_EXCEPTION(SE_FltOverflow);
VELL_STRUCTURED_EXCEPTION(SE_FltStackCheck);
VELL_STRUCTURED_EXCEPTION(SE_FltUnderflow);
VELL_STRUCTURED_EXCEPTION(SE_IntDivideByZero);
VELL_STRUCTURED_EXCEPTION(SE_IntOverflow);
VELL_STRUCTURED_EXCEPTION(SE_PrivInstruction);
VELL_STRUCTURED_EXCEPTION(SE_NoncontinuableException);

#undef VELL_STRUCTURED_EXCEPTION

// Throws the class listed for the code, or StructuredException itself.
[[noreturn]] void ThrowStructuredException(std::uint32_t code);

// From then on, for the life of the process and in every thread, a fault
// in the program's own code, or a code that it raises with RaiseException,
// arrives as one of the classes above at the faulting point. Faults inside
// system libraries stay theirs to handle.
void InstallStructuredExceptionTranslator();

// From then on a failing new throws std::bad_alloc whose what() is
// "bad allocation".
void InstallOutOfMemoryHandler();
