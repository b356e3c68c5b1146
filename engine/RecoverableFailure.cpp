#include "engine/RecoverableFailure.h"

#include "engine/InstallerMessages.h"
#include "foundation/Console.h"
#include "foundation/InstallError.h"
#include "foundation/Win.h"
#include "system/InstallOptions.h"

void DecideOnRecoverableFailure(const RecoverableFailure& failure) {
    const InstallOptions& options = Options();
    if (options.interactive) {
        int answer = MessageBoxA(nullptr, failure.question.c_str(), failure.caption.c_str(), MB_YESNO | MB_ICONWARNING);
        if (answer == IDYES) return;
        ConsoleLine(CanceledByUserLine(failure.cancelReason));
        throw SilentExit(failure.exitCode);
    }
    if (options.force) {
        ConsoleLine(failure.warningLine);
        return;
    }
    ConsoleLine(failure.abortLine);
    throw SilentExit(failure.exitCode);
}
