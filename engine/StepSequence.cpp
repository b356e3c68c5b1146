#include "engine/StepSequence.h"

#include "engine/FailurePoint.h"

StepSequence::~StepSequence() {
    while (!m_steps.empty()) m_steps.pop_back();
    StepsEnded();
}

void StepSequence::Commit() {
    for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step) (*step)->Commit();
}
