// A job object that counts the processes of one started program and of
// everything it starts in turn, so that a wait for their signal can end when
// none of them is left. Job objects are bound at run time: systems without
// them (and a caller already in a job that cannot nest) get no job, and
// Holds() stays false.
#pragma once

#include "foundation/DllLoader.h"
#include "foundation/Handle.h"
#include "foundation/Win.h"

class ProcessJob {
public:
    ProcessJob();
    ProcessJob(const ProcessJob&) = delete;
    ProcessJob& operator=(const ProcessJob&) = delete;

    // Puts a process (created suspended, so that it cannot start others
    // first) into the job. False when there is no job or it refuses.
    bool Adopt(HANDLE process);
    bool Holds() const { return m_holds; }
    // True once every adopted process and its descendants have ended.
    bool IsEmpty();

private:
    DllLoader m_kernel;
    UniqueHandle m_job;
    decltype(&::QueryInformationJobObject) m_query = nullptr;
    bool m_holds = false;
};
