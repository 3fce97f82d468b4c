// ralvo-art <dataset/art> <folder with CELL.DAT and PATH.DAT> <repository root>
// Draws the picture store, the sound effects, the help file and the contact sheets.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "art.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: ralvo-art <art source dir> <track data dir> <output root>\n";
        return 2;
    }
    try {
        const auto data = ralvo::art::LoadTrackData(argv[2]);
        if (!data)
            std::cerr << "no CELL.DAT/PATH.DAT in " << argv[2]
                      << ": cell pictures, help and contact sheets are left as they are\n";
        const auto files = ralvo::art::GenerateAll(argv[1], data);
        for (const auto& f : files) {
            const std::filesystem::path path = std::filesystem::path(argv[3]) / f.path;
            std::filesystem::create_directories(path.parent_path());
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(f.bytes.data()), static_cast<std::streamsize>(f.bytes.size()));
            if (!out) throw ralvo::art::ArtError("cannot write " + path.string());
        }
        std::cout << files.size() << " files written\n";
    } catch (const std::exception& e) {
        std::cerr << "ralvo-art: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
