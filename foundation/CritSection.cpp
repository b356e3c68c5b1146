#include "foundation/CritSection.h"

#include "foundation/DllLoader.h"

namespace {

// Windows 9x lacks the entry, so it is bound by name; the library stays
// loaded and both lookups are done once for the life of the process.
decltype(&::TryEnterCriticalSection) TryEnterEntry() {
    static const auto entry = KernelFunction<decltype(&::TryEnterCriticalSection)>("TryEnterCriticalSection");
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
    if (const auto tryEnter = TryEnterEntry()) {
        return tryEnter(m_section.get()) != FALSE;
    }
    EnterCriticalSection(m_section.get());
    return true;
}
