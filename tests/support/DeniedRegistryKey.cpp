#include "support/DeniedRegistryKey.h"

#include "foundation/RegKey.h"
#include "foundation/Win.h"

#include <sddl.h>

#include <stdexcept>

void SetKeySecurity(HKEY root, const std::string& subkey, const char* sddl) {
    HKEY created = nullptr;
    if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &created, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + subkey);
    UniqueRegKey key(created);
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &security, nullptr))
        throw std::runtime_error("bad security descriptor");
    LONG result = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, security);
    LocalFree(security);
    if (result != ERROR_SUCCESS) throw std::runtime_error("cannot secure " + subkey);
}

void DenyWrites(const std::string& machineSubkey) {
    SetKeySecurity(HKEY_LOCAL_MACHINE, machineSubkey, "D:P(A;OICI;KR;;;WD)");
}

void DenyListing(const std::string& machineSubkey) {
    SetKeySecurity(HKEY_LOCAL_MACHINE, machineSubkey, "D:P(A;;0x1;;;WD)");
}
