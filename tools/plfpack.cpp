// plfpack: turns a plain-text level description into a chunked level file.
//
//   plfpack DESCRIPTION.txt OUTPUT.plf
//
// The description format is explained in LevelWriter.h. The output is
// written under a temporary name and renamed into place.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "LevelWriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: plfpack DESCRIPTION.txt OUTPUT.plf\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "plfpack: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    std::unique_ptr<plf::LevelWriter> level = plf::ParseDescription(text.str(), error);
    if (!level) {
        std::fprintf(stderr, "plfpack: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (!level->WriteFile(argv[2], error)) {
        std::fprintf(stderr, "plfpack: %s\n", error.c_str());
        return 1;
    }
    std::printf("plfpack: %s: %u x %u chunks\n", argv[2], level->ChunksX(), level->ChunksY());
    return 0;
}
