#include "foundation/CritSection.h"

namespace {

using TryEnterCriticalSectionFn = BOOL(WINAPI*)(LPCRITICAL_SECTION);

// Windows 9x lacks the entry, so it is bound by name; the library stays
// loaded and both lookups are done once for the life of the process.
TryEnterCriticalSectionFn TryEnterEntry() {
    static const HMODULE kernel = LoadLibraryA("kernel32.dll");
    static const TryEnterCriticalSectionFn entry = reinterpret_cast<TryEnterCriticalSectionFn>(
        kernel != nullptr ? reinterpret_cast<void*>(GetProcAddress(kernel, "TryEnterCriticalSection"))
                          : nullptr);
    return entry;
}

}  // namespace

CritSection::CritSection() : m_section(new CRITICAL_SECTION) {
    InitializeCriticalSection(m_section.get());
}

CritSection::~CritSection() {
    DeleteCriticalSection(m_section.get());
}

void CritSection::Enter() {
    EnterCriticalSection(m_section.get());
}

void CritSection::Leave() {
    LeaveCriticalSection(m_section.get());
}

bool CritSection::TryEnter() {
    if (const TryEnterCriticalSectionFn tryEnter = TryEnterEntry()) {
        return tryEnter(m_section.get()) != FALSE;
    }
    EnterCriticalSection(m_section.get());
    return true;
}
