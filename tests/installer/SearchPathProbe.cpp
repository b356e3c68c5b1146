// search_path_probe <directory> <0|1>: UpdateSearchPath for that directory,
// with allUsers from the second argument.
#include "installer/UpdateSearchPath.h"

#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    UpdateSearchPath(argv[1], std::strcmp(argv[2], "1") == 0);
    return 0;
}
