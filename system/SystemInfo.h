// Answers about the running system: the operating system version and
// family, the service pack and the Internet Explorer version (each cached),
// and whether the process token holds the built-in Administrators group
// (the default for installing for all users).
#pragma once

#include <cstdint>

struct VersionTriple {
    std::uint32_t a = 0, b = 0, c = 0;  // (platform, major, minor) or (major, minor, build)

    bool operator==(const VersionTriple& o) const { return a == o.a && b == o.b && c == o.c; }
    bool operator>=(const VersionTriple& o) const;
    bool operator<=(const VersionTriple& o) const;
};

class SystemInfo {
public:
    // Each answer is asked of the system on first success and then kept.
    VersionTriple OsVersion();                // (platform id, major, minor); zeros on failure
    std::int32_t ServicePack();               // -1 when unknown
    VersionTriple InternetExplorerVersion();  // zeros when not found

    // Platform id of the running system: 2 for the NT family.
    bool IsNtFamily() { return OsVersion().a == 2; }

private:
    bool m_osCached = false;
    VersionTriple m_os;
    bool m_servicePackCached = false;
    std::int32_t m_servicePack = -1;
    bool m_ieCached = false;
    VersionTriple m_ie;
};

// The number of a "Service Pack N" text (case ignored; N read like C's
// "%i"), or -1 for any other text or a negative number.
std::int32_t ServicePackFromText(const char* csdVersion);

// The run's shared instance.
SystemInfo& SharedSystemInfo();

// The test's answer, or answerOnError when the test itself fails.
bool IsUserAdmin(bool answerOnError);

// The test: always true on Windows 9x. Throws InstallError (or
// std::bad_alloc) when it cannot decide.
bool TokenHasAdministratorsGroup();
