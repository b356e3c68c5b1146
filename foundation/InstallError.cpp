#include "foundation/Errors.h"

#include "foundation/Win.h"
#include "foundation/WinErrorMessage.h"

void ThrowCallFailure(const std::string& call) {
    ThrowCallFailure(call, GetLastError());
}

void ThrowCallFailure(const std::string& call, unsigned long code) {
    throw InstallError(call + " failed: " + DescribeWindowsError(code));
}
