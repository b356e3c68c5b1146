#include "engine/InstallStep.h"

#include "engine/InstallOptions.h"

bool InstallStep::ShouldUndo() const {
    return !m_committed && !Options().noRollback;
}
