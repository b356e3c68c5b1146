#include "foundation/StructuredException.h"

#include "foundation/DllLoader.h"
#include "foundation/Win.h"

#include <cstdint>
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

// MinGW has no _set_se_translator. Instead a vectored exception handler
// makes the faulting thread look as if the faulting instruction had called
// ThrowStructuredException, and lets it go on there. The program is built
// with -fnon-call-exceptions, so every instruction that can fault lies in
// an unwind region: the C++ exception then unwinds from the faulting frame
// like one thrown by a call, and runs its destructors.
namespace {

std::uintptr_t g_programBegin = 0;
std::uintptr_t g_programEnd = 0;

// The program's code is the image holding this function: everything is
// linked statically, and only code built with the flag above can unwind
// from a fault.
void FindProgramImage() {
    MEMORY_BASIC_INFORMATION memory{};
    VirtualQuery(reinterpret_cast<const void*>(&FindProgramImage), &memory, sizeof(memory));
    const auto* base = static_cast<const BYTE*>(memory.AllocationBase);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    g_programBegin = reinterpret_cast<std::uintptr_t>(base);
    g_programEnd = g_programBegin + nt->OptionalHeader.SizeOfImage;
}

bool InProgram(std::uintptr_t address) {
    return address >= g_programBegin && address < g_programEnd;
}

// Success and informational codes are notifications (debugger output,
// thread names, C++ exceptions of this runtime: 0x20474343 and its
// siblings) and are never faults.
bool IsTranslatable(std::uint32_t code) {
    if ((code & 0x80000000u) == 0) return false;
    switch (code) {
        case 0xE06D7363:                // C++ exceptions of other compilers' code
        case EXCEPTION_GUARD_PAGE:      // belongs to whoever set the guard
        case EXCEPTION_STACK_OVERFLOW:  // no stack left to unwind on
            return false;
        default:
            return true;
    }
}

// kernel32's RaiseException may be a stub that jumps to kernelbase's.
std::uintptr_t g_raiseException[2] = {};

void FindRaiseException() {
    const char* modules[] = {"kernelbase.dll", "kernel32.dll"};
    for (int i = 0; i < 2; ++i) {
        if (const HMODULE module = GetModuleHandleA(modules[i])) {
            g_raiseException[i] = reinterpret_cast<std::uintptr_t>(GetProcAddress(module, "RaiseException"));
        }
    }
}

bool IsRaiseException(std::uintptr_t address) {
    return address != 0 && (address == g_raiseException[0] || address == g_raiseException[1]);
}

#if defined(__x86_64__)

extern "C" const char vell_fake_return_32[];
extern "C" const char vell_fake_return_40[];

// Frames that never run. One of them stands between the faulting function
// and ThrowStructuredException, with unwind data for its stack allocation,
// so that the thrower starts with the stack aligned as after a real call
// and with the 32 bytes of home space that a callee may write to.
asm(R"(
    .text
    .seh_proc vell_fake_caller_32
vell_fake_caller_32:
    subq $32, %rsp
    .seh_stackalloc 32
    .seh_endprologue
    nop
vell_fake_return_32:
    ud2
    .seh_endproc

    .seh_proc vell_fake_caller_40
vell_fake_caller_40:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    nop
vell_fake_return_40:
    ud2
    .seh_endproc
)");

std::uintptr_t InstructionPointer(const CONTEXT& context) {
    return context.Rip;
}

void FakeCall(CONTEXT& context, std::uintptr_t returnAddress, std::uint32_t code) {
    context.Rsp -= 8;
    *reinterpret_cast<DWORD64*>(context.Rsp) = returnAddress;
    const bool aligned = context.Rsp % 16 == 0;
    context.Rsp -= aligned ? 32 + 8 : 40 + 8;
    *reinterpret_cast<DWORD64*>(context.Rsp) =
        reinterpret_cast<DWORD64>(aligned ? vell_fake_return_32 : vell_fake_return_40);
    context.Rip = reinterpret_cast<DWORD64>(&ThrowStructuredException);
    context.Rcx = code;
}

void PrepareRaisedCodes() {}

// A code raised by the program arrives in the frame of RaiseException; it
// belongs at the call in the caller's frame, which can unwind from there.
bool ThrowAtRaiseExceptionCaller(const EXCEPTION_RECORD& record, CONTEXT& context) {
    DWORD64 imageBase = 0;
    const PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    if (function == nullptr) return false;
    if (!IsRaiseException(imageBase + function->BeginAddress)) return false;

    CONTEXT caller = context;
    void* handlerData = nullptr;
    DWORD64 establisherFrame = 0;
    RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, caller.Rip, function, &caller, &handlerData, &establisherFrame,
                     nullptr);
    if (!InProgram(caller.Rip)) return false;
    context = caller;
    FakeCall(context, context.Rip, record.ExceptionCode);
    return true;
}

#elif defined(__i386__)

// Where RaiseException was to return to, and the code it raised: per thread,
// from the handler to vell_raise_return.
DWORD g_raiseReturnSlot = TLS_OUT_OF_INDEXES;
DWORD g_raisedCodeSlot = TLS_OUT_OF_INDEXES;

}  // namespace

extern "C" {

[[noreturn]] void __attribute__((fastcall, used)) vell_throw_structured(std::uint32_t code) {
    ThrowStructuredException(code);
}

// cdecl: the return address in EAX, the code in EDX.
__attribute__((used)) std::uint64_t vell_take_raised() {
    const auto returnAddress = reinterpret_cast<std::uintptr_t>(TlsGetValue(g_raiseReturnSlot));
    const auto code = reinterpret_cast<std::uintptr_t>(TlsGetValue(g_raisedCodeSlot));
    return static_cast<std::uint64_t>(code) << 32 | returnAddress;
}

extern const char vell_raise_return[];

}  // extern "C"

// Where RaiseException returns to instead of its caller, with the stack and
// the callee-saved registers just as the caller gets them back (RaiseException
// has restored them and removed its arguments). It puts the caller's return
// address back on the stack and throws, as if RaiseException had thrown:
// the unwinder then starts at the call in the caller's frame.
asm(R"(
    .text
    .globl _vell_raise_return
_vell_raise_return:
    subl $4, %esp
    call _vell_take_raised
    movl %eax, (%esp)
    movl %edx, %ecx
    jmp @vell_throw_structured@4
)");

namespace {

std::uintptr_t InstructionPointer(const CONTEXT& context) {
    return context.Eip;
}

// The code travels in ECX, so nothing but the return address goes on the
// stack and the faulting frame's stack pointer stays as the unwinder
// expects it.
void FakeCall(CONTEXT& context, std::uintptr_t returnAddress, std::uint32_t code) {
    context.Esp -= 4;
    *reinterpret_cast<DWORD*>(context.Esp) = returnAddress;
    context.Eip = reinterpret_cast<DWORD>(&vell_throw_structured);
    context.Ecx = code;
}

void PrepareRaisedCodes() {
    g_raiseReturnSlot = TlsAlloc();
    g_raisedCodeSlot = TlsAlloc();
}

// Whether the import table entry that an indirect call or jump names holds
// RaiseException; only the program's own memory is read.
bool ImportsRaiseException(const BYTE* operand) {
    const std::uintptr_t entry = *reinterpret_cast<const DWORD*>(operand);
    return InProgram(entry) && IsRaiseException(*reinterpret_cast<const DWORD*>(entry));
}

// The call before returnAddress goes to RaiseException: through the import
// table (call [imp]) or through a jump thunk (call thunk; jmp [imp]). A call
// through a register (code optimised for size loads the entry once) cannot
// be followed; the arguments checked by the caller have to do.
bool CallsRaiseException(std::uintptr_t returnAddress) {
    const auto* code = reinterpret_cast<const BYTE*>(returnAddress);
    if (code[-6] == 0xFF && code[-5] == 0x15) return ImportsRaiseException(code - 4);
    if (code[-5] == 0xE8) {
        const auto* target = code + *reinterpret_cast<const std::int32_t*>(code - 4);
        if (IsRaiseException(reinterpret_cast<std::uintptr_t>(target))) return true;
        return InProgram(reinterpret_cast<std::uintptr_t>(target)) && target[0] == 0xFF && target[1] == 0x25 &&
               ImportsRaiseException(target + 2);
    }
    return code[-2] == 0xFF && (code[-1] & 0xF8) == 0xD0;
}

// 32-bit system libraries carry no unwind data to step out of
// RaiseException. Its frame lies between the context's stack pointer and
// the caller's arguments: the slot of the return address is the one that
// leads back into the program, right after a call of RaiseException, and
// is followed by the code, the flags and the count that were raised.
DWORD* FindRaiseExceptionReturn(const EXCEPTION_RECORD& record, const CONTEXT& context) {
    MEMORY_BASIC_INFORMATION stack{};
    if (VirtualQuery(reinterpret_cast<const void*>(context.Esp), &stack, sizeof(stack)) == 0) return nullptr;
    const auto stackEnd = reinterpret_cast<std::uintptr_t>(stack.BaseAddress) + stack.RegionSize;
    constexpr std::uintptr_t searched = 1024;
    for (std::uintptr_t at = context.Esp; at + 5 * sizeof(DWORD) <= stackEnd && at < context.Esp + searched;
         at += sizeof(DWORD)) {
        auto* slot = reinterpret_cast<DWORD*>(at);
        if (!InProgram(slot[0]) || slot[1] != record.ExceptionCode) continue;
        if ((slot[2] & EXCEPTION_NONCONTINUABLE) != (record.ExceptionFlags & EXCEPTION_NONCONTINUABLE)) continue;
        const DWORD count = slot[4] == 0                             ? 0
                            : slot[3] < EXCEPTION_MAXIMUM_PARAMETERS ? slot[3]
                                                                     : EXCEPTION_MAXIMUM_PARAMETERS;
        if (count != record.NumberParameters || !CallsRaiseException(slot[0])) continue;
        return slot;
    }
    return nullptr;
}

// A handler that lets execution go on makes RaiseException return: here it
// returns into vell_raise_return, which throws from the caller's call.
bool ThrowAtRaiseExceptionCaller(const EXCEPTION_RECORD& record, CONTEXT& context) {
    if (g_raiseReturnSlot == TLS_OUT_OF_INDEXES || g_raisedCodeSlot == TLS_OUT_OF_INDEXES) return false;
    DWORD* slot = FindRaiseExceptionReturn(record, context);
    if (slot == nullptr) return false;
    TlsSetValue(g_raiseReturnSlot, reinterpret_cast<void*>(static_cast<std::uintptr_t>(slot[0])));
    TlsSetValue(g_raisedCodeSlot, reinterpret_cast<void*>(static_cast<std::uintptr_t>(record.ExceptionCode)));
    slot[0] = reinterpret_cast<DWORD>(vell_raise_return);
    // The system reports every breakpoint, raised ones too, one byte back
    // (where an int3 would be); RaiseException goes on after its call.
    if (record.ExceptionCode == EXCEPTION_BREAKPOINT) context.Eip += 1;
    return true;
}

#else
#error "structured exception translation is written for x86 and x86-64"
#endif

LONG CALLBACK TranslateFault(EXCEPTION_POINTERS* pointers) {
    const std::uint32_t code = pointers->ExceptionRecord->ExceptionCode;
    if (!IsTranslatable(code)) return EXCEPTION_CONTINUE_SEARCH;
    CONTEXT& context = *pointers->ContextRecord;
    const std::uintptr_t faultAddress = InstructionPointer(context);
    if (InProgram(faultAddress)) {
        // The unwinder looks up the byte before a return address: one past
        // the start of the faulting instruction keeps it inside that
        // instruction's unwind region.
        FakeCall(context, faultAddress + 1, code);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    if (ThrowAtRaiseExceptionCaller(*pointers->ExceptionRecord, context)) return EXCEPTION_CONTINUE_EXECUTION;
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void InstallStructuredExceptionTranslator() {
    static bool installed = false;
    if (installed) return;
    installed = true;

    FindProgramImage();
    FindRaiseException();
    PrepareRaisedCodes();
    // Systems before Windows XP have no vectored handlers; there the filter
    // of last resort does the same for faults that nothing else handles.
    const auto addHandler = KernelFunction<decltype(&::AddVectoredExceptionHandler)>("AddVectoredExceptionHandler");
    if (addHandler != nullptr) {
        addHandler(1, TranslateFault);
    } else {
        SetUnhandledExceptionFilter(TranslateFault);
    }
}
