#include "foundation/Handle.h"
#include "foundation/StructuredException.h"
#include "foundation/Win.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>
#include <stdexcept>
#include <typeinfo>

namespace {

// As the installer does first thing, before any test runs.
const bool kHooksInstalled = [] {
    InstallStructuredExceptionTranslator();
    InstallOutOfMemoryHandler();
    return true;
}();

struct Witness {
    bool* destroyed;
    ~Witness() { *destroyed = true; }
};

__attribute__((noinline)) void WriteThroughNull(bool* destroyed) {
    Witness witness{destroyed};
    volatile int* volatile target = nullptr;
    *target = 1;
}

// A leaf function: it faults with the stack as its caller's call left it.
__attribute__((noinline)) int Quotient(int dividend, int divisor) {
    return dividend / divisor;
}

__attribute__((noinline)) void Raise(DWORD code, bool* destroyed) {
    Witness witness{destroyed};
    RaiseException(code, 0, 0, nullptr);
}

DWORD WINAPI FaultAndCatch(void*) {
    try {
        bool destroyed = false;
        WriteThroughNull(&destroyed);
    } catch (const SE_AccessViolation&) {
        return 1;
    }
    return 0;
}

}  // namespace

TEST(StructuredExceptionTests, NullPointerWriteUnwindsAsAccessViolation) {
    ASSERT_TRUE(kHooksInstalled);
    bool destroyed = false;
    try {
        WriteThroughNull(&destroyed);
        ADD_FAILURE() << "no exception";
    } catch (const SE_AccessViolation& e) {
        EXPECT_TRUE(destroyed);
        EXPECT_STREQ("EXCEPTION_ACCESS_VIOLATION", e.what());
        EXPECT_EQ(0xC0000005u, e.code());
    }
}

TEST(StructuredExceptionTests, IntegerDivisionByZeroArrivesAsItsOwnClass) {
    volatile int zero = 0;
    volatile int quotient = 0;
    try {
        quotient = Quotient(1, zero);
        ADD_FAILURE() << "no exception: " << quotient;
    } catch (const SE_IntDivideByZero& e) {
        EXPECT_STREQ("EXCEPTION_INT_DIVIDE_BY_ZERO", e.what());
    }
}

TEST(StructuredExceptionTests, FaultsInOtherThreadsAreTranslatedToo) {
    UniqueHandle thread(CreateThread(nullptr, 0, FaultAndCatch, nullptr, 0, nullptr));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.get(), 10000));
    DWORD exitCode = 0;
    GetExitCodeThread(thread.get(), &exitCode);
    EXPECT_EQ(1u, exitCode);
}

TEST(StructuredExceptionTests, RaisedCodesArriveAtTheCallerAsTheirClass) {
    struct Row {
        DWORD code;
        const std::type_info& type;
        const char* name;
    };
    const Row rows[] = {
        {0xE0001234, typeid(StructuredException), "unrecognized structured exception"},
        {0xC0000017, typeid(StructuredException), "unrecognized structured exception"},
        {0xC0000005, typeid(SE_AccessViolation), "EXCEPTION_ACCESS_VIOLATION"},
        {0x80000003, typeid(SE_Breakpoint), "EXCEPTION_BREAKPOINT"},
        {0x80000002, typeid(SE_DatatypeMisalignment), "EXCEPTION_DATATYPE_MISALIGNMENT"},
        {0x80000004, typeid(SE_SingleStep), "EXCEPTION_SINGLE_STEP"},
        {0xC000008C, typeid(SE_ArrayBoundsExceeded), "EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
        {0xC000008D, typeid(SE_FltDenormalOperand), "EXCEPTION_FLT_DENORMAL_OPERAND"},
        {0xC000008E, typeid(SE_FltDivideByZero), "EXCEPTION_FLT_DIVIDE_BY_ZERO"},
        {0xC000008F, typeid(SE_FltInexactResult), "EXCEPTION_FLT_INEXACT_RESULT"},
        {0xC0000090, typeid(SE_FltInvalidOperation), "EXCEPTION_FLT_INVALID_OPERATION"},
        {0xC0000091, typeid(SE_FltOverflow), "EXCEPTION_FLT_OVERFLOW"},
        {0xC0000092, typeid(SE_FltStackCheck), "EXCEPTION_FLT_STACK_CHECK"},
        {0xC0000093, typeid(SE_FltUnderflow), "EXCEPTION_FLT_UNDERFLOW"},
        {0xC0000094, typeid(SE_IntDivideByZero), "EXCEPTION_INT_DIVIDE_BY_ZERO"},
        {0xC0000095, typeid(SE_IntOverflow), "EXCEPTION_INT_OVERFLOW"},
        {0xC0000096, typeid(SE_PrivInstruction), "EXCEPTION_PRIV_INSTRUCTION"},
        {0xC0000025, typeid(SE_NoncontinuableException), "EXCEPTION_NONCONTINUABLE_EXCEPTION"},
    };
    for (const Row& row : rows) {
        bool destroyed = false;
        try {
            Raise(row.code, &destroyed);
            ADD_FAILURE() << std::hex << row.code << ": no exception";
        } catch (const std::exception& e) {
            EXPECT_TRUE(destroyed) << std::hex << row.code;
            EXPECT_EQ(row.type, typeid(e)) << std::hex << row.code;
            EXPECT_STREQ(row.name, e.what()) << std::hex << row.code;
        }
    }
}

TEST(StructuredExceptionTests, ExceptionsThatAreNotFaultsPassUntouched) {
    // The system handles the faults of its own probes.
    EXPECT_TRUE(IsBadReadPtr(nullptr, 4));
    // Debugger output travels as an informational exception.
    OutputDebugStringA("quillmore test\n");
    try {
        throw std::runtime_error("plain");
    } catch (const std::exception& e) {
        EXPECT_EQ(typeid(std::runtime_error), typeid(e));
    }
}

TEST(OutOfMemoryHandlerTests, FailingNewThrowsBadAllocation) {
    ASSERT_TRUE(kHooksInstalled);
    volatile std::size_t huge = std::numeric_limits<std::size_t>::max() / 2;
    try {
        void* block = ::operator new(huge);
        ADD_FAILURE() << "allocated " << block;
        ::operator delete(block);
    } catch (const std::bad_alloc& e) {
        EXPECT_STREQ("bad allocation", e.what());
    }
}
