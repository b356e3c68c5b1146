// Base of every installation step. Construction performs the step,
// Commit() marks it as kept, and the destructor of the concrete step undoes
// it unless it was committed or the run has -noRollback.
//
// The destructor is deliberately not virtual: owners hold steps through
// their concrete type (locals, or owning pointers of the concrete type), and
// the concrete steps are final.
#pragma once

class InstallStep {
public:
    virtual void Commit() { m_committed = true; }
    bool IsCommitted() const { return m_committed; }

    InstallStep(const InstallStep&) = delete;
    InstallStep& operator=(const InstallStep&) = delete;

protected:
    InstallStep() = default;
    ~InstallStep() = default;

    // The rule every undo starts with: not committed and rollback allowed.
    bool ShouldUndo() const;

private:
    bool m_committed = false;
};
