// Stand-in for the sibling server product's settings program, which the
// ".pmx" association starts with the settings file.
#include <cstdio>

int main(int argc, char** argv) {
    std::printf("Vantrel Pellmar settings (stand-in build)%s%s\n", argc > 1 ? ": " : "", argc > 1 ? argv[1] : "");
    return 0;
}
