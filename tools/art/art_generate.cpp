#include "art.h"

namespace ralvo::art {

std::vector<OutputFile> GenerateAll(const std::string& artDir, const std::optional<TrackData>& data) {
    const Sources src = LoadSources(artDir);
    Figure fig;
    DrawSprites(src, fig);
    const Image icon = DrawIcon(src, fig);
    if (data) DrawCells(src, *data, fig);

    std::vector<OutputFile> out;
    for (const auto& [name, img] : NamedPictures(fig))
        if (!img->empty()) out.push_back({"assets/pictures/" + name + ".png", EncodeIndexedPng(*img, src.palette)});
    out.push_back({"assets/pictures/Icon.png", EncodeIndexedPng(icon, src.palette)});
    for (const Wave& w : SynthesiseSounds(artDir + "/sounds.txt"))
        out.push_back({"assets/" + w.name + ".wav", EncodeWav(w)});
    out.push_back({"docs/contact-sheet.png", EncodeRgbPng(DrawContactSheet(src, fig, icon))});
    if (data) {
        const std::string help = AssembleHelp(src, fig, icon);
        out.push_back({"assets/Ralvo.HLP", std::vector<uint8_t>(help.begin(), help.end())});
        out.push_back({"docs/sample-board.png", EncodeRgbPng(DrawSampleBoard(src, *data, fig))});
    }
    return out;
}

}  // namespace ralvo::art
