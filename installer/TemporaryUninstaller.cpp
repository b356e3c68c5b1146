#include "installer/TemporaryUninstaller.h"

#include "engine/InstallerMessages.h"
#include "engine/Resources.h"
#include "foundation/Errors.h"
#include "foundation/Path.h"
#include "foundation/Win.h"
#include "foundation/WinErrorMessage.h"
#include "system/FileSystemQueries.h"
#include "system/RebootDeletion.h"

#include <cryptopp/osrng.h>
#include <cryptopp/randpool.h>

#include <cstdio>

namespace {

const int uninstallerResourceId = 149;
const int maximumRetries = 10;

std::string FallbackName(CryptoPP::RandomPool& pool) {
    char name[16];
    std::snprintf(name, sizeof name, "uninst%04u.exe", static_cast<unsigned>(pool.GenerateWord32() % 9999));
    return name;
}

}  // namespace

std::string WriteTemporaryUninstaller() {
    const std::string directory = GetTempDirectory();
    if (directory.empty()) throw AException(TemporaryPathFailedText(DescribeWindowsError(GetLastError())));
    std::string target = JoinPath(directory, "uninst.exe");

    CryptoPP::RandomPool pool;
    CryptoPP::byte seed[32];
    CryptoPP::OS_GenerateRandomBlock(false, seed, sizeof seed);
    pool.IncorporateEntropy(seed, sizeof seed);

    for (int retries = 0;; ++retries) {
        try {
            ExtractResourceToFile(target, uninstallerResourceId);
            ScheduleDeleteOnReboot(target);
            return target;
        } catch (const std::exception& e) {
            if (retries == maximumRetries) throw AException(UninstallerCopyFailedText(e.what()));
        }
        target = JoinPath(directory, FallbackName(pool));
    }
}
