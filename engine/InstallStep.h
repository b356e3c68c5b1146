// The installation journal: the step base and the sequence that owns the
// steps, the report of an undo, the decision on a recoverable failure, and
// the uninstallation command list the steps append to; then the steps
// themselves.
#pragma once

#include "contract/UninstallContract.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Base of every installation step. Construction performs the step,
// Commit() marks it as kept, and the destructor of the concrete step undoes
// it unless it was committed or the run has -noRollback. The installation
// owns its steps through this base (StepSequence).
class InstallStep {
public:
    virtual void Commit() { m_committed = true; }
    bool IsCommitted() const { return m_committed; }

    InstallStep(const InstallStep&) = delete;
    InstallStep& operator=(const InstallStep&) = delete;
    virtual ~InstallStep() = default;

protected:
    InstallStep() = default;

    // The rule every undo starts with: not committed and rollback allowed.
    bool ShouldUndo() const;

private:
    bool m_committed = false;
};

// The steps of one installation, owned in the order they were made. Leaving
// scope without Commit() destroys them newest first, and that destruction is
// the rollback; Commit() keeps them all, newest first as well.
class StepSequence {
public:
    StepSequence() = default;
    StepSequence(const StepSequence&) = delete;
    StepSequence& operator=(const StepSequence&) = delete;
    ~StepSequence();

    // Performs the step (its constructor does the work) and takes it over.
    // A step whose constructor throws is not added: it has undone itself.
    template <class Step, class... Arguments>
    Step& Add(Arguments&&... arguments) {
        auto step = std::make_unique<Step>(std::forward<Arguments>(arguments)...);
        Step& added = *step;
        m_steps.push_back(std::move(step));
        return added;
    }

    void Commit();

private:
    std::vector<std::unique_ptr<InstallStep>> m_steps;
};

// Removing a file system object during rollback, with its report: what is
// being removed, why it failed, and the fallback to deletion at reboot.
enum class UndoneObject { Directory, File, Shortcut };

// Never throws: a failure is reported (console line, and a message box in
// interactive mode) and the object is scheduled for deletion at reboot.
void RemoveWithUndoReport(UndoneObject kind, const std::string& path);

// The one decision on a step failure that need not end the installation:
// ask the user (interactive), warn and go on (unattended with -force), or
// stop the run (unattended without -force).
struct RecoverableFailure {
    std::string question;      // message box text, interactive mode
    std::string caption;       // message box caption
    std::string warningLine;   // console line with -force
    std::string abortLine;     // console line without -force
    std::string cancelReason;  // "Installation canceled by user (<reason>)"
    int exitCode;              // carried by SilentExit when the run stops
};

// Returns when the installation is to go on after the failed action;
// otherwise prints the abort or cancel line and throws SilentExit.
void DecideOnRecoverableFailure(const RecoverableFailure& failure);

// The uninstallation command list of Options().uninstallCommands, in the
// form UninstallContract.h gives: the sibling's entry first, then one
// command per change. Commands are only ever appended; the uninstaller
// runs them.

// Starts the list with the entry that names the sibling product.
void StartUninstallCommands(const std::string& siblingProduct);

// Appends blank, double quote, keyword, argument, double quote. Nothing is
// escaped: arguments are paths, key paths and extension/ProgID pairs, none
// of which can hold a double quote.
void AppendUninstallCommand(CommandKeyword keyword, const std::string& argument);

// The files an installation writes: the step that writes one from a
// zlib-compressed resource (the uninstaller), and the three rules every
// file goes through, the payload's as well. A file that existed before is
// overwritten only when allowed and is never deleted by the rollback.
class FileStep final : public InstallStep {
public:
    // An empty path stands for Options().uninstallerPath.
    FileStep(int resourceId, const std::string& path);
    ~FileStep();

private:
    void Extract(int resourceId, bool existedBefore);

    std::string m_path;
};

// DelMainFile when path is the main executable path (ASCII letters
// compared without regard to case), otherwise DelFile.
void RecordFileUninstallCommand(const std::string& path);

// Returns when the existing file may be overwritten; otherwise ends the run
// with SilentExit 104.
void ConfirmOverwrite(const std::string& path);

// Deletes a file the installation created, with the undo report; never
// throws.
void UndoFileCreation(const std::string& path);

// Creates one shell link (.lnk) through the shell's link object and records
// DelFile for it; the undo deletes the link again. A link of that name
// that was there before and starts another program is the user's: it is
// replaced but never recorded or undone. A link that cannot
// be made is a recoverable failure: the installation may go on without it.
class ShortcutStep final : public InstallStep {
public:
    // Empty arguments, working directory and description are not set on the
    // link; an empty icon file means the target's own icon. Throws
    // SilentExit 105 when a failure is not to be tolerated.
    ShortcutStep(const std::string& linkPath, const std::string& targetPath, const std::string& arguments,
                 const std::string& workingDirectory, const std::string& description, const std::string& iconFile,
                 int iconIndex);
    ~ShortcutStep();

private:
    std::string m_linkPath;
    bool m_created = false;
    bool m_usersOwn = false;
};

// A COM failure text as the shortcut messages show it: without one final
// full stop, because the interactive question adds its own.
std::string ShortcutFailureReason(const std::string& errorText);

// Makes sure one directory exists, creating first, when asked, every
// missing parent as a step of its own that this step owns. Records
// DelDir for the directory and for each parent it creates; the undo
// removes exactly the directories created, deepest first.
class DirectoryStep final : public InstallStep {
public:
    // Throws SilentExit 101/102/103 when the directory cannot be made (the
    // parents created so far are removed again as the throw unwinds).
    DirectoryStep(const std::string& path, bool createParents);
    ~DirectoryStep();

    // Also commits the chain of parent steps.
    void Commit() override;

private:
    void CreateMissingParent();
    void RefuseNonDirectory();
    void MakeDirectory();

    std::string m_path;
    std::unique_ptr<DirectoryStep> m_parent;
    bool m_created = false;
};

// The part of path before its last backslash, a trailing backslash set
// aside; double-byte characters of the ANSI code page are stepped over
// whole. Empty when there is none.
std::string ParentDirectoryOf(const std::string& path);

// Points a file extension at a ProgID and writes the ProgID's description,
// icon and shell verbs under HKEY_LOCAL_MACHINE\SOFTWARE\Classes, recording
// DelRegKey for every key it writes. The undo gives the extension back
// its previous ProgID, or removes what this step added to the extension key,
// and removes the ProgID's keys when this step made them. A failed write is
// a recoverable failure.
struct ShellVerb {
    std::string name;  // also its display text
    std::string commandLine;
};

class FileAssociationStep final : public InstallStep {
public:
    // extension includes its leading '.'; the first verb is the default
    // one. Throws SilentExit 112 when a failure is not to be tolerated.
    FileAssociationStep(const std::string& progId, const std::string& extension, const std::string& description,
                        const std::string& iconLocation, const std::vector<ShellVerb>& verbs);
    ~FileAssociationStep();

private:
    void Register(const std::string& progId, const std::string& description, const std::string& iconLocation,
                  const std::vector<ShellVerb>& verbs);
    void Undo();
    void RemoveExtensionMapping();
    void ReportUndoFailure(bool restoring, const std::string& reason) const;

    std::string m_progIdKey;
    std::string m_extensionKey;
    std::string m_extension;
    std::string m_previousProgId;
    bool m_extensionKeyExisted = false;
    bool m_progIdKeyExisted = false;
};

// The ProgID as the replacement warning shows it: with at least three dots,
// the first, the second and the last become blanks
// (Vantrel.Quillmore.4.33.Profile -> "Vantrel Quillmore 4.33 Profile").
std::string ProgIdDisplayName(const std::string& progId);

// Registers the product's uninstaller with Windows: the product's key under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall
// with six values, "UninstallParam" holding the complete uninstallation
// command list. Made last, so that the list is complete; the undo deletes
// the key.
class UninstallerRegistrationStep final : public InstallStep {
public:
    // Throws only SilentExit 113, when a failed registration is not to be
    // tolerated; every other failure is handled here.
    UninstallerRegistrationStep(const std::string& keyName, const std::string& displayName, const std::string& version);
    ~UninstallerRegistrationStep();

private:
    void Register(const std::string& keyName, const std::string& displayName, const std::string& version);
    void WriteValue(const std::string& name, const std::string& data);
    void Undo();

    std::string m_keyPath;  // under HKEY_LOCAL_MACHINE
    bool m_registered = false;
};
