// The administrators test declared in SystemInfo.h, in a file of its own so
// that a program asking only the version does not link it.
#include "system/SystemInfo.h"

#include "foundation/DllLoader.h"
#include "foundation/Errors.h"
#include "foundation/Handle.h"

#include <memory>
#include <new>

namespace {

// Bound at run time: Windows 9x lacks the security functions.

struct SidRelease {
    decltype(&::FreeSid) freeSid;
    void operator()(PSID sid) const { freeSid(sid); }
};
using OwnedSid = std::unique_ptr<void, SidRelease>;

class GlobalBlock {
public:
    explicit GlobalBlock(DWORD size) : m_block(GlobalAlloc(GMEM_ZEROINIT, size)) {
        if (!m_block) throw std::bad_alloc();
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    ~GlobalBlock() { GlobalFree(m_block); }
    void* get() const { return m_block; }

private:
    HGLOBAL m_block;
};

OwnedSid AdministratorsSid(DllLoader& advapi) {
    auto freeSid = advapi.GetProc<decltype(&::FreeSid)>("FreeSid");
    SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
    PSID sid = nullptr;
    auto allocate = advapi.GetProc<decltype(&::AllocateAndInitializeSid)>("AllocateAndInitializeSid");
    if (!allocate(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &sid))
        ThrowCallFailure("AllocateAndInitializeSid()");
    if (!sid) throw InstallError("AllocateAndInitializeSid() failed: NULL SID returned.");
    OwnedSid owned(sid, SidRelease{freeSid});
    auto isValid = advapi.GetProc<decltype(&::IsValidSid)>("IsValidSid");
    if (!isValid(sid)) throw InstallError("AllocateAndInitializeSid() failed: Invalid SID returned.");
    return owned;
}

bool TokenGroupsContain(DllLoader& advapi, PSID wanted) {
    HANDLE opened = nullptr;
    auto openToken = advapi.GetProc<decltype(&::OpenProcessToken)>("OpenProcessToken");
    if (!openToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) ThrowCallFailure("OpenProcessToken()");
    UniqueHandle token(opened);

    auto getInformation = advapi.GetProc<decltype(&::GetTokenInformation)>("GetTokenInformation");
    DWORD size = 0;
    if (!getInformation(token.get(), TokenGroups, nullptr, 0, &size) && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        ThrowCallFailure("GetTokenInformation()");
    GlobalBlock block(size);
    getInformation = advapi.GetProc<decltype(&::GetTokenInformation)>("GetTokenInformation");
    if (!getInformation(token.get(), TokenGroups, block.get(), size, &size)) ThrowCallFailure("GetTokenInformation()");

    // Attributes are not looked at: a group kept only for deny checks counts too.
    const auto* groups = static_cast<const TOKEN_GROUPS*>(block.get());
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        PSID sid = groups->Groups[i].Sid;
        if (!sid || !advapi.GetProc<decltype(&::IsValidSid)>("IsValidSid")(sid)) continue;
        if (advapi.GetProc<decltype(&::EqualSid)>("EqualSid")(sid, wanted)) return true;
    }
    return false;
}

}  // namespace

bool TokenHasAdministratorsGroup() {
    try {
        DllLoader advapi;
        advapi.Load("Advapi32.dll");
        if (!SharedSystemInfo().IsNtFamily()) return true;
        OwnedSid administrators = AdministratorsSid(advapi);
        return TokenGroupsContain(advapi, administrators.get());
    } catch (const DllLoader::Err& e) {
        throw InstallError(e.what());
    }
}

bool IsUserAdmin(bool answerOnError) {
    try {
        return TokenHasAdministratorsGroup();
    } catch (const std::exception&) {
        return answerOnError;
    }
}
