// The installation journal: the step base and the sequence that owns the
// steps, the report of an undo, the decision on a recoverable failure, and
// the uninstallation command list the steps append to.
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
