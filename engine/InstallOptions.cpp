#include "engine/InstallOptions.h"

InstallOptions& Options() {
    static InstallOptions options;
    return options;
}
