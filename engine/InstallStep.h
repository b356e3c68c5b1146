// Base of every installation step. Construction performs the step,
// Commit() marks it as kept, and the destructor of the concrete step undoes
// it unless it was committed or the run has -noRollback. The installation
// owns its steps through this base (StepSequence).
#pragma once

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
