// load_probe <path>: loads a DLL with the system's default search order.
#include "foundation/Win.h"

int main(int argc, char** argv) {
    return argc == 2 && LoadLibraryA(argv[1]) ? 0 : 1;
}
