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

// The installer run under watch: it must be quiet and end with exitCode.
WatchedOutcome RunInstallerQuietly(const std::string& arguments, DWORD exitCode, const Environment& environment = {});
// The same, and the files and the registry must be exactly as they were
// before the run: what a failed run must leave.
WatchedOutcome RunInstallerLeavingNoTrace(const std::string& arguments, DWORD exitCode,
                                          const Environment& environment = {});

// The first console line that reports undoing a step; end() when none does.
std::vector<std::string>::const_iterator FirstRollbackLine(const std::vector<std::string>& lines);
