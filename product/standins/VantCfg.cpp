// Stand-in for the maker's global settings program, started by three
// shortcuts with -proxy, -hostkeys or -keypairs.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const char* page = "proxy";
    if (argc > 1 && std::strcmp(argv[1], "-hostkeys") == 0) page = "host keys";
    if (argc > 1 && std::strcmp(argv[1], "-keypairs") == 0) page = "keypairs";
    std::printf("Vantrel global settings (stand-in build): %s\n", page);
    return 0;
}
