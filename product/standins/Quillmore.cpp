// Stand-in for the product's main program: the installer's tests and the
// launch after an interactive installation only need a real program that
// starts, says what it is and ends.
#include <cstdio>

int main(int argc, char** argv) {
    std::printf("Vantrel Quillmore 4.33 (stand-in build)\n");
    for (int i = 1; i < argc; ++i) std::printf("argument %d: %s\n", i, argv[i]);
    return 0;
}
