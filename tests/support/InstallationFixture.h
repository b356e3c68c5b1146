// Common ground of the end-to-end tests: the installation they ask for,
// where its pieces land, and the checks every run must pass.
#pragma once

#include "support/Files.h"
#include "support/Registry.h"
#include "support/WatchedRun.h"

#include "foundation/Win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern const char kInstallDir[];  // C:\Program Files\Vantrel Quillmore

// "-acceptEULA -installDir=<kInstallDir>", then the extra options.
std::string InstallArguments(const std::string& extra = std::string());

// The product's program-menu folder in the common or the per-user programs.
std::string StartMenuFolder(bool allUsers);
std::string DesktopFolder(bool allUsers);

void MakeFolder(const std::string& path);
void MakeFile(const std::string& path);

// No window showed and the product was not started: what an unattended
// run must never do, whatever its outcome.
void ExpectQuietRun(const WatchedOutcome& run);
