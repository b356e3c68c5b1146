// The system requirements: Windows 98 or NT 4.0 SP3 (or later), and
// Internet Explorer 4.0.
#pragma once

#include "system/SystemInfo.h"

#include <cstdint>

bool RequirementsMet(const VersionTriple& os, std::int32_t servicePack, const VersionTriple& internetExplorer);

// Returns when the requirements are met, or the user (interactive) or
// -force (unattended) accepts that they are not; otherwise throws
// SilentExit(130).
void CheckSystemRequirements();
