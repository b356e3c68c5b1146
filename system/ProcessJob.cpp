#include "system/ProcessJob.h"

namespace {}  // namespace

ProcessJob::ProcessJob() {
    if (!m_kernel.Load(true, "kernel32.dll", true)) return;
    const auto create = m_kernel.GetProc<decltype(&::CreateJobObjectA)>("CreateJobObjectA", true);
    m_query = m_kernel.GetProc<decltype(&::QueryInformationJobObject)>("QueryInformationJobObject", true);
    if (create != nullptr && m_query != nullptr) m_job.reset(create(nullptr, nullptr));
}

bool ProcessJob::Adopt(HANDLE process) {
    if (!m_job) return false;
    const auto assign = m_kernel.GetProc<decltype(&::AssignProcessToJobObject)>("AssignProcessToJobObject", true);
    m_holds = assign != nullptr && assign(m_job.get(), process);
    return m_holds;
}

bool ProcessJob::IsEmpty() {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    if (!m_query(m_job.get(), JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr))
        return false;
    return accounting.ActiveProcesses == 0;
}
