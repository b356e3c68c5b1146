#include "engine/InstallStep.h"

#include "installer/InstallOptions.h"

bool InstallStep::ShouldUndo() const {
    return !m_committed && !Options().noRollback;
}
