// ralvo-dataset: build, check and dump the game's track data set.
#include <cstdio>
#include <cstring>
#include <string>

#include "dataset_lib.h"

using namespace ralvo::dataset;

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: ralvo-dataset build SRC_DIR OUT_DIR   make PATH.DAT, CELL.DAT and Ralvo.CFG from the sources\n"
                 "       ralvo-dataset check DIR               name every rule the data files in DIR break\n"
                 "       ralvo-dataset dump DIR                print the data files for a person\n");
    return 2;
}

int Check(const std::string& dir) {
    DataFiles files;
    std::string err;
    if (!ReadFiles(dir, files, err)) {
        std::fprintf(stderr, "%s\n", err.c_str());
        return 1;
    }
    auto bad = CheckFiles(files);
    for (const auto& b : bad) std::printf("%s\n", b.c_str());
    if (!bad.empty()) {
        std::printf("%zu problem%s in %s\n", bad.size(), bad.size() == 1 ? "" : "s", dir.c_str());
        return 1;
    }
    std::printf("%s: data set is sound\n", dir.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string cmd = argv[1];
    if (cmd == "build" && argc == 4) {
        DataFiles files;
        std::vector<std::string> errors;
        if (!BuildFromSources(argv[2], files, errors)) {
            for (const auto& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
            return 1;
        }
        std::string err;
        if (!WriteFiles(files, argv[3], err)) {
            std::fprintf(stderr, "%s\n", err.c_str());
            return 1;
        }
        auto bad = CheckFiles(files);
        for (const auto& b : bad) std::fprintf(stderr, "warning: %s\n", b.c_str());
        std::printf("wrote PATH.DAT, CELL.DAT, Ralvo.CFG to %s%s\n", argv[3], bad.empty() ? "" : " (they do not pass check)");
        return bad.empty() ? 0 : 1;
    }
    if (cmd == "check" && argc == 3) return Check(argv[2]);
    if (cmd == "dump" && argc == 3) {
        DataFiles files;
        std::string err;
        if (!ReadFiles(argv[2], files, err)) {
            std::fprintf(stderr, "%s\n", err.c_str());
            return 1;
        }
        std::fputs(DumpFiles(files).c_str(), stdout);
        return 0;
    }
    return Usage();
}
