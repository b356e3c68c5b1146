#include "system/SystemInfo.h"

#include "foundation/RegKey.h"
#include "foundation/Win.h"

#include <cstdlib>
#include <cstring>
#include <tuple>

namespace {

const char internetExplorerKey[] = "Software\\Microsoft\\Internet Explorer";
const std::size_t registryTextSize = 80;

// Versions known only by the "IVer" value of early releases.
struct IVerRow {
    const char* iver;
    VersionTriple version;
};
const IVerRow iverTable[] = {
    {"101", {4, 40, 308}}, {"102", {4, 40, 520}}, {"103", {4, 70, 1155}},  // the build comes from "Build" when present
};

// Reads a value into an 80-byte buffer; false when it does not fit or is absent.
bool QueryText(HKEY key, const char* name, char (&text)[registryTextSize + 1]) {
    DWORD size = registryTextSize;
    std::memset(text, 0, sizeof text);
    return RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS;
}

VersionTriple VersionFromIVer(HKEY key) {
    char iver[registryTextSize + 1];
    if (!QueryText(key, "IVer", iver)) return {};
    for (const IVerRow& row : iverTable) {
        if (lstrcmpiA(iver, row.iver) != 0) continue;
        VersionTriple version = row.version;
        char build[registryTextSize + 1];
        if (std::strcmp(row.iver, "103") == 0 && QueryText(key, "Build", build)) {
            char* end = nullptr;
            const unsigned long number = std::strtoul(build, &end, 10);
            if (end != build) version.c = number;
        }
        return version;
    }
    return {};
}

// Up to three numbers joined by dots, read as C's "%u.%u.%u" reads them: the
// first part that is not there leaves itself and the rest zero. (The scanf
// family would bring a large formatted-input runtime into the uninstaller.)
VersionTriple DottedVersion(const char* text) {
    VersionTriple version;
    std::uint32_t* const parts[] = {&version.a, &version.b, &version.c};
    for (std::uint32_t* part : parts) {
        char* end = nullptr;
        const unsigned long number = std::strtoul(text, &end, 10);
        if (end == text) break;
        *part = number;
        if (*end != '.') break;
        text = end + 1;
    }
    return version;
}

}  // namespace

bool VersionTriple::operator>=(const VersionTriple& o) const {
    return std::tie(a, b, c) >= std::tie(o.a, o.b, o.c);
}

bool VersionTriple::operator<=(const VersionTriple& o) const {
    return std::tie(a, b, c) <= std::tie(o.a, o.b, o.c);
}

std::int32_t ServicePackFromText(const char* csdVersion) {
    static const char prefix[] = "Service Pack";
    const std::size_t prefixLength = sizeof prefix - 1;
    // Bytes of a double-byte character are never ASCII letters in the lead
    // position, so an ASCII comparison cannot match half of one.
    if (std::strlen(csdVersion) <= prefixLength || _strnicmp(csdVersion, prefix, prefixLength) != 0) return -1;
    const char* text = csdVersion + prefixLength;
    char* end = nullptr;
    const long number = std::strtol(text, &end, 0);  // C's "%i"
    if (end == text || number < 0) return -1;
    return number;
}

VersionTriple SystemInfo::OsVersion() {
    if (!m_osCached) {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (GetVersionExA(&info)) {
            m_os = {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
            m_osCached = true;
        }
    }
    return m_os;
}

std::int32_t SystemInfo::ServicePack() {
    if (m_servicePackCached) return m_servicePack;
    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof extended;
    if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
        m_servicePack = extended.wServicePackMajor;
        m_servicePackCached = true;
        return m_servicePack;
    }
    // Systems before NT 4.0 SP6 know only the short structure.
    OSVERSIONINFOA basic{};
    basic.dwOSVersionInfoSize = sizeof basic;
    if (GetVersionExA(&basic)) {
        const std::int32_t number = ServicePackFromText(basic.szCSDVersion);
        if (number >= 0) {
            m_servicePack = number;
            m_servicePackCached = true;
        }
    }
    return m_servicePackCached ? m_servicePack : -1;
}

VersionTriple SystemInfo::InternetExplorerVersion() {
    if (m_ieCached) return m_ie;
    m_ie = {};
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, internetExplorerKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return m_ie;
    UniqueRegKey key(opened);
    char version[registryTextSize + 1];
    if (QueryText(key.get(), "Version", version)) {
        m_ie = DottedVersion(version);
    } else {
        m_ie = VersionFromIVer(key.get());
    }
    m_ieCached = m_ie.a != 0;
    return m_ie;
}

namespace {

// Constant-initialised: it exists before any code runs.
SystemInfo sharedSystemInfo;

}  // namespace

SystemInfo& SharedSystemInfo() {
    return sharedSystemInfo;
}
