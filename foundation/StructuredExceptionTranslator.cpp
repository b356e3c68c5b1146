// MinGW has no _set_se_translator. Instead a vectored exception handler
// makes the faulting thread look as if the faulting instruction had called
// ThrowStructuredException, and lets it go on there. The program is built
// with -fnon-call-exceptions, so every instruction that can fault lies in
// an unwind region: the C++ exception then unwinds from the faulting frame
// like one thrown by a call, and runs its destructors.
#include "foundation/BoundFunction.h"
#include "foundation/StructuredException.h"

#include "foundation/Win.h"

#include <cstdint>

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
    case 0xE06D7363:                  // C++ exceptions of other compilers' code
    case EXCEPTION_GUARD_PAGE:        // belongs to whoever set the guard
    case EXCEPTION_STACK_OVERFLOW:    // no stack left to unwind on
        return false;
    default:
        return true;
    }
}

#if defined(__x86_64__)

std::uintptr_t g_raiseException[2] = {};

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

// kernel32's RaiseException may be a stub that jumps to kernelbase's.
void FindRaiseException() {
    const char* modules[] = {"kernelbase.dll", "kernel32.dll"};
    for (int i = 0; i < 2; ++i) {
        if (const HMODULE module = GetModuleHandleA(modules[i])) {
            g_raiseException[i] = reinterpret_cast<std::uintptr_t>(GetProcAddress(module, "RaiseException"));
        }
    }
}

// A code raised by the program arrives in the frame of RaiseException; it
// belongs at the call in the caller's frame, which can unwind from there.
bool UnwindFromRaiseException(CONTEXT& context) {
    DWORD64 imageBase = 0;
    const PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    if (function == nullptr) return false;
    const std::uintptr_t entry = imageBase + function->BeginAddress;
    if (entry != g_raiseException[0] && entry != g_raiseException[1]) return false;

    CONTEXT caller = context;
    void* handlerData = nullptr;
    DWORD64 establisherFrame = 0;
    RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, caller.Rip, function, &caller, &handlerData,
                     &establisherFrame, nullptr);
    if (!InProgram(caller.Rip)) return false;
    context = caller;
    return true;
}

#elif defined(__i386__)

[[noreturn]] void __attribute__((fastcall)) ThrowFromFault(std::uint32_t code) {
    ThrowStructuredException(code);
}

std::uintptr_t InstructionPointer(const CONTEXT& context) {
    return context.Eip;
}

// The code travels in ECX, so nothing but the return address goes on the
// stack and the faulting frame's stack pointer stays as the unwinder
// expects it.
void FakeCall(CONTEXT& context, std::uintptr_t returnAddress, std::uint32_t code) {
    context.Esp -= 4;
    *reinterpret_cast<DWORD*>(context.Esp) = returnAddress;
    context.Eip = reinterpret_cast<DWORD>(&ThrowFromFault);
    context.Ecx = code;
}

void FindRaiseException() {}

// 32-bit system libraries carry no unwind data to step out of
// RaiseException, so codes raised by the program stay untranslated here.
bool UnwindFromRaiseException(CONTEXT&) {
    return false;
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
    if (UnwindFromRaiseException(context)) {
        FakeCall(context, InstructionPointer(context), code);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void InstallStructuredExceptionTranslator() {
    static bool installed = false;
    if (installed) return;
    installed = true;

    FindProgramImage();
    FindRaiseException();
    // Systems before Windows XP have no vectored handlers; there the filter
    // of last resort does the same for faults that nothing else handles.
    const auto addHandler =
        KernelFunction<decltype(&::AddVectoredExceptionHandler)>("AddVectoredExceptionHandler");
    if (addHandler != nullptr) {
        addHandler(1, TranslateFault);
    } else {
        SetUnhandledExceptionFilter(TranslateFault);
    }
}
