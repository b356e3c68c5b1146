// What the uninstaller shows: its console lines (standard output, one '\n'
// each, written at once), the failures of one removal kept for the closing
// message, the message boxes of an interactive run, and the texts of all of
// them, spelled once in Report.cpp. `product` is the product's key name as
// given on the command line.
#pragma once

#include <string>
#include <vector>

class Report {
public:
    void Line(const std::string& text);
    void Failure(const std::string& text);

    bool HasFailures() const { return !m_failures.empty(); }
    const std::vector<std::string>& Failures() const { return m_failures; }

private:
    std::vector<std::string> m_failures;
};

// Message boxes.
bool ConfirmUninstallation(const std::string& product);
void ShowCompleted(const std::string& product);
void ShowFailed(const std::string& product, const std::vector<std::string>& failures);
void ShowLoadFailed(const std::string& product, const std::string& reason);

// Console lines of the run as a whole.
extern const char kUsageLine[];
std::string InvalidCommandLineLine(const std::string& reason);
std::string LoadFailedLine(const std::string& reason);
std::string UninstallationCompletedLine(const std::string& product);
std::string UninstallationFailedLine(const std::string& product);
std::string ResultNotDeliveredLine(const std::string& reason);
std::string SelfDeletionNotScheduledLine(const std::string& path);

// Console lines of handing the run over to a copy in the temporary directory.
std::string TemporaryDirectoryFailedLine(const std::string& reason);
std::string CopyFailedLine(const std::string& target, const std::string& reason);
std::string NoFreeCopyNameLine(const std::string& directory);
std::string CopyNotStartedLine(const std::string& call, const std::string& reason);

// Console lines of the removal: what failed, what was kept and why.
std::string FileDeletionFailedLine(const std::string& path, const std::string& reason);
std::string DirectoryRemovalFailedLine(const std::string& path, const std::string& reason);
std::string KeyDeletionFailedLine(const std::string& key, const std::string& reason);
std::string SearchPathUpdateFailedLine(const std::string& key, const std::string& reason);
std::string MainFileAtRebootLine(const std::string& path);
std::string UninstallerAtRebootLine(const std::string& path);
std::string UninstallerNotRestoredLine(const std::string& path, const std::string& reason);
std::string KeptForSiblingLine(const std::string& name, const std::string& sibling);
std::string KeptSharedLine(const std::string& sibling, const std::string& damage);
std::string KeptLinkLine(const std::string& name);
std::string KeptBehindFolderLinkLine(const std::string& name);
std::string KeptBehindKeyLinkLine(const std::string& key);
std::string KeptNonEmptyDirectoryLine(const std::string& path);
std::string KeptAssociationLine(const std::string& extension, const std::string& progId);
std::string RestoredAssociationLine(const std::string& extension, const std::string& progId);
std::string AssociationNotRestoredLine(const std::string& extension, const std::string& reason);
