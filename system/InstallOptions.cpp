#include "system/InstallOptions.h"

InstallOptions& Options() {
    static InstallOptions options;
    return options;
}
