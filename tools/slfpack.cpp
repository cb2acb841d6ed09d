// slfpack: turns a plain-text isometric map description into a ".slf" file.
//
//   slfpack DESCRIPTION.txt OUTPUT.slf
//
// The description format is explained in IsoMapWriter.h. The output is
// written under a temporary name and renamed into place.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "IsoMapWriter.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: slfpack DESCRIPTION.txt OUTPUT.slf\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "slfpack: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    std::unique_ptr<slf::IsoMapWriter> map = slf::ParseDescription(text.str(), error);
    if (!map) {
        std::fprintf(stderr, "slfpack: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    if (!map->WriteFile(argv[2], error)) {
        std::fprintf(stderr, "slfpack: %s\n", error.c_str());
        return 1;
    }
    std::printf("slfpack: %s: %u x %u x %u cells\n", argv[2], map->X(), map->Y(), map->Z());
    return 0;
}
