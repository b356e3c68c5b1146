// Owns one critical section, kept on the heap so that the object itself can
// be moved about without disturbing the system's list of sections.
#pragma once

#include "foundation/Win.h"

#include <memory>

class CritSection {
public:
    CritSection();
    CritSection(const CritSection&) = delete;
    CritSection& operator=(const CritSection&) = delete;
    ~CritSection();

    void Enter();
    void Leave();
    // Enters without waiting when the system can (true when entered); on
    // systems without TryEnterCriticalSection waits for the section and
    // returns true.
    bool TryEnter();

private:
    std::unique_ptr<CRITICAL_SECTION> m_section;
};
