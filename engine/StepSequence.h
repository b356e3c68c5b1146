// The steps of one installation, owned in the order they were made. Leaving
// scope without Commit() destroys them newest first, and that destruction is
// the rollback; Commit() keeps them all, newest first as well.
#pragma once

#include "engine/InstallStep.h"

#include <memory>
#include <utility>
#include <vector>

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
