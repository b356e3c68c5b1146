// The installer's result channel: a 4-byte section and an event, inherited
// through the result switches of UninstallContract.h.
#pragma once

#include "uninstaller/Arguments.h"

#include <cstdint>

// Writes the result into the section, then signals the event. False when
// either handle is unusable.
bool DeliverResult(const Arguments& args, std::uint32_t result);
