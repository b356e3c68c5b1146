#include "engine/InstallStep.h"

#include "system/InstallOptions.h"

bool InstallStep::ShouldUndo() const {
    return !m_committed && !Options().noRollback;
}
