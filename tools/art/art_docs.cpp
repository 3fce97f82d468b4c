// The help file, the contact sheet and the sample board.
#include <cmath>
#include <fstream>
#include <sstream>

#include "art.h"

namespace ralvo::art {
namespace {

struct FrameInfo {
    int w, h;
    bool vertical;
};

FrameInfo FrameOf(const std::string& name, const Image& img) {
    if (name.rfind("CellPic", 0) == 0) return {81, 81, false};
    static const std::map<std::string, FrameInfo> kFrames = {
        {"VehiPic", {21, 21, false}},  {"VmskPic", {21, 21, false}}, {"RockPic", {21, 21, false}},
        {"RmskPic", {21, 21, false}},  {"PlanePic", {41, 41, false}}, {"PmaskPic", {41, 41, false}},
        {"BombPic", {31, 31, false}},  {"BmskPic", {31, 31, false}}, {"CrashPic", {31, 31, false}},
        {"CmaskPic", {31, 31, false}}, {"MarshPic", {21, 21, false}}, {"MmaskPic", {21, 21, false}},
        {"FallPic", {40, 40, false}},  {"FmskPic", {40, 40, false}}, {"WarpPic", {23, 23, false}},
        {"SidePic", {20, 81, true}},   {"NookPic", {20, 10, false}}, {"TxtDigit", {18, 27, false}},
    };
    auto it = kFrames.find(name);
    if (it != kFrames.end()) return it->second;
    return {img.width(), img.height(), false};
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

const Image* Find(const Figure& fig, const std::string& name) {
    for (auto& [n, img] : NamedPictures(fig))
        if (n == name) return img;
    return nullptr;
}

std::string Base64(const std::vector<uint8_t>& bytes) {
    static const char* kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        for (int k = 3; k >= 0; --k) out.push_back(kChars[(v >> (6 * k)) & 63]);
    }
    if (i + 1 == bytes.size()) {
        const uint32_t v = bytes[i] << 16;
        out += {kChars[(v >> 18) & 63], kChars[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8);
        out += {kChars[(v >> 18) & 63], kChars[(v >> 12) & 63], kChars[(v >> 6) & 63], '='};
    }
    return out;
}

Image Crop(const Image& src, int x, int y, int w, int h) {
    Image out(w, h);
    BitBlt(out, 0, 0, w, h, src, x, y, Rop::Copy);
    return out;
}

Image Scale(const Image& src, int s) {
    Image out(src.width() * s, src.height() * s);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) out.Set(x, y, src.At(x / s, y / s));
    return out;
}

std::string ImgTag(const Image& img, int scale, const std::string& alt) {
    return "<img class=\"pic\" src=\"data:image/png;base64," + Base64(EncodeRgbPng(img)) + "\" width=\"" +
           std::to_string(img.width() * scale) + "\" height=\"" + std::to_string(img.height() * scale) +
           "\" alt=\"" + alt + "\">";
}

int BoxX(int bx) { return 20 + 81 * bx; }
int BoxY(int by) { return 10 + 81 * by; }

void Sprite(Image& dst, int x, int y, int w, int h, const Image& pic, const Image& mask, int sx, int mx) {
    BitBlt(dst, x, y, w, h, mask, mx, 0, Rop::And);
    BitBlt(dst, x, y, w, h, pic, sx, 0, Rop::Invert);
}

}  // namespace

std::vector<std::pair<std::string, const Image*>> NamedPictures(const Figure& fig) {
    std::vector<std::pair<std::string, const Image*>> out;
    // FigurePictures only hands out addresses; nothing is written through them here.
    for (const auto& [name, img] : FigurePictures(const_cast<Figure&>(fig))) out.emplace_back(name, img);
    return out;
}

std::string AssembleHelp(const Sources& src, const Figure& fig, const Image& icon) {
    const std::string path = src.dir + "/help/Ralvo.html";
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ArtError("cannot read " + path);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    // Placeholders: {{pic NAME FRAME SCALE}} a frame as stored; {{sprite NAME MASK FRAME SCALE}} a sprite
    // frame laid over a piece of meadow; {{icon}} the program icon.
    std::string out;
    size_t pos = 0;
    while (true) {
        const size_t a = text.find("{{", pos);
        if (a == std::string::npos) break;
        const size_t b = text.find("}}", a);
        if (b == std::string::npos) throw ArtError("unclosed placeholder in help");
        out += text.substr(pos, a - pos);
        std::istringstream is(text.substr(a + 2, b - a - 2));
        std::string kind, name, maskName;
        int frame = 0, scale = 1;
        is >> kind;
        if (kind == "icon") {
            out += ImgTag(icon, 1, "icon");
        } else if (kind == "pic" || kind == "sprite") {
            is >> name;
            if (kind == "sprite") is >> maskName;
            is >> frame >> scale;
            const Image* img = Find(fig, name);
            if (!img || img->empty()) throw ArtError("help names unknown picture " + name);
            const FrameInfo fi = FrameOf(name, *img);
            Image cut = Crop(*img, fi.vertical ? 0 : fi.w * frame, fi.vertical ? fi.h * frame : 0, fi.w, fi.h);
            if (kind == "sprite") {
                const Image* mask = Find(fig, maskName);
                if (!mask) throw ArtError("help names unknown mask " + maskName);
                Image ground(fi.w, fi.h, src.palette["dgreen"]);
                Sprite(ground, 0, 0, fi.w, fi.h, *img, *mask, fi.w * frame, mask->width() == fi.w ? 0 : fi.w * frame);
                cut = ground;
            }
            out += ImgTag(cut, scale, name);
        } else {
            throw ArtError("unknown help placeholder " + kind);
        }
        pos = b + 2;
    }
    out += text.substr(pos);
    return out;
}

Image DrawContactSheet(const Sources& src, const Figure& fig, const Image& icon) {
    const int kWidth = 1400;
    const Rgb bg = 0x202830, frameLine = 0x607080, textCol = 0xE0E0E0;
    struct Item {
        std::string name;
        const Image* img;
    };
    std::vector<Item> items;
    for (auto& [n, img] : NamedPictures(fig)) items.push_back({n, img});
    items.push_back({"Icon", &icon});
    // First pass places the items, the second draws them.
    auto layout = [&](Image* sheet) {
        int x = 10, y = 10, rowH = 0;
        for (const Item& it : items) {
            if (it.img->empty()) continue;
            const FrameInfo fi = FrameOf(it.name, *it.img);
            const int frames = fi.vertical ? it.img->height() / fi.h : it.img->width() / fi.w;
            const int scale = fi.w <= 41 && fi.h <= 41 ? 2 : 1;
            const int fw = fi.w * scale, fh = fi.h * scale;
            const int across = fi.vertical ? frames : frames;  // frames shown side by side
            const int w = std::max(across * (fw + 4), TextWidth(src.font, Utf8To32(Upper(it.name)), 1, 1) + 4);
            const int h = fh + 22;
            if (x + w > kWidth - 10) {
                x = 10;
                y += rowH + 10;
                rowH = 0;
            }
            if (sheet) {
                DrawText(*sheet, src.font, Utf8To32(Upper(it.name)), x, y, 1, 1, textCol);
                for (int f = 0; f < frames; ++f) {
                    const Image cut = Crop(*it.img, fi.vertical ? 0 : fi.w * f, fi.vertical ? fi.h * f : 0, fi.w, fi.h);
                    const int fx = x + f * (fw + 4) + 1, fy = y + 10 + 1;
                    FillRect(*sheet, fx - 1, fy - 1, fw + 2, fh + 2, frameLine);
                    BitBlt(*sheet, fx, fy, fw, fh, Scale(cut, scale), 0, 0, Rop::Copy);
                    if (frames > 1) DrawText(*sheet, src.font, Utf8To32(std::to_string(f)), fx, fy + fh + 3, 1, 1, 0x90A0B0);
                }
            }
            x += w + 12;
            rowH = std::max(rowH, h);
        }
        return y + rowH + 10;
    };
    const int height = layout(nullptr);
    Image sheet(kWidth, height, bg);
    layout(&sheet);
    return sheet;
}

Image DrawSampleBoard(const Sources& src, const TrackData& data, const Figure& fig) {
    const Palette& pal = src.palette;
    struct Entry {
        int picture, rot;
    };
    std::vector<Entry> entries;
    for (int n = 1; n <= 50; ++n)
        if (CellForPicture(data, n))
            for (int k = 0; k < CellFrameCount(n); ++k) entries.push_back({n, k});
    const int cols = 16, rows = static_cast<int>((entries.size() + cols - 1) / cols);
    const int bw = BoxX(cols) + 20, bh = BoxY(rows) + 10;
    Image board(bw, bh, pal["black"]);
    // Frame and grid as the game draws them.
    for (int i = 0; i < cols; ++i) DrawLine(board, BoxX(i), BoxY(0), BoxX(i), BoxY(rows), pal["yellow"]);
    for (int j = 0; j < rows; ++j) DrawLine(board, BoxX(0), BoxY(j), BoxX(cols), BoxY(j), pal["yellow"]);
    for (int j = 0; j < rows; ++j) {
        BitBlt(board, 0, BoxY(j), 20, 81, fig.SidePic, 0, 81 * (j % 3), Rop::Copy);
        BitBlt(board, BoxX(cols), BoxY(j), 20, 81, fig.SidePic, 0, 81 * ((j + 1) % 3), Rop::Copy);
    }
    for (int i = 0; i < cols; ++i) {
        BitBlt(board, BoxX(i), 0, 81, 10, fig.TopbPic, 0, 0, Rop::Copy);
        BitBlt(board, BoxX(i), BoxY(rows), 81, 10, fig.TopbPic, 0, 0, Rop::Copy);
    }
    BitBlt(board, 0, 0, 20, 10, fig.NookPic, 0, 0, Rop::Copy);
    BitBlt(board, 0, BoxY(rows), 20, 10, fig.NookPic, 40, 0, Rop::Copy);
    BitBlt(board, BoxX(cols), 0, 20, 10, fig.NookPic, 20, 0, Rop::Copy);
    BitBlt(board, BoxX(cols), BoxY(rows), 20, 10, fig.NookPic, 60, 0, Rop::Copy);

    int vehicles = 0, collapses = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const int bx = static_cast<int>(i % cols), by = static_cast<int>(i / cols);
        const int px = BoxX(bx), py = BoxY(by);
        const Entry& e = entries[i];
        const Image& pic = fig.CellPic[e.picture];
        const int n = pic.width() / 81;
        BitBlt(board, px, py, 81, 81, pic, 81 * (e.rot % n), 0, Rop::Copy);
        const CellRec* cell = CellForPicture(data, e.picture);
        const int attr = cell ? cell->Cellattr : 0;
        if (attr & kAttrTurntable) {
            const int state = i % 3 == 0 ? 0 : (e.rot % 2 == 0 ? 1 : 2);
            Sprite(board, px + 30, py + 30, 21, 21, fig.MarshPic, fig.MmaskPic, 21 * state, 0);
        }
        if ((attr & (kAttrWarpA | kAttrWarpB | kAttrStart | kAttrMarker)) && !(attr & kAttrStart)) {
            const int h = e.rot % 2;
            int f = 0;
            if ((attr & 12) == 4) f = h == 0 ? 1 : 2;
            if ((attr & 12) == 8) f = h == 0 ? 2 : 1;
            if (attr & kAttrMarker) f = 7 + e.rot;
            BitBlt(board, px + 30, py + 30, 23, 23, fig.WarpPic, 23 * f, 0, Rop::Copy);
        }
        if ((attr & (kAttrMarshEW | kAttrMarshNS)) && collapses < 2 && e.rot == 0) {
            // Show the water after the track has sunk on a couple of marsh cells.
            const int v = (attr & 0x60) == 0x60 ? 0 : (attr & 0x20) ? 1 : 2;
            Sprite(board, px + 22, py + 22, 40, 40, fig.FallPic, fig.FmskPic, 40 * v, 40 * v);
            ++collapses;
        }
        // A vehicle on the middle dot of the first path of some cells.
        if (cell && (i % 7 == 3) && vehicles < 12) {
            for (int s = 0; s < 4; ++s) {
                const int id = cell->PathType[s][0];
                if (!data.PathValid(id)) continue;
                const PathRec& p = data.paths[id];
                const DotRec d = Rotate(p.Dot[std::clamp<int>(p.PathMid, 0, kMaxDots - 1)], (s + e.rot) % 4);
                Sprite(board, px + d.Xx - 10, py + d.Yy - 10, 21, 21, fig.VehiPic, fig.VmskPic, 21 * d.Angle, 21 * d.Angle);
                ++vehicles;
                break;
            }
        }
    }
    // Hazards at work.
    if (rows > 3) {
        Sprite(board, BoxX(2) + 30, BoxY(1) - 10, 21, 21, fig.RockPic, fig.RmskPic, 0, 0);
        Sprite(board, BoxX(6) + 30, BoxY(2) + 30, 21, 21, fig.RockPic, fig.RmskPic, 42, 42);
        Sprite(board, BoxX(9) + 10, BoxY(1) + 10, 41, 41, fig.PlanePic, fig.PmaskPic, 0, 0);
        Sprite(board, BoxX(12) + 25, BoxY(3) + 25, 31, 31, fig.BombPic, fig.BmskPic, 62, 62);
        Sprite(board, BoxX(13) + 10, BoxY(2) - 5, 31, 31, fig.BombPic, fig.BmskPic, 31, 31);
        Sprite(board, BoxX(4) + 20, BoxY(3) + 20, 31, 31, fig.CrashPic, fig.CmaskPic, 31, 31);
    }

    // The side panel with its counters and an offered cell, then the board beside it.
    Image screen(84 + bw, bh, pal["black"]);
    BitBlt(screen, 2, BoxY(0), 81, 27, fig.TxtScore, 0, 0, Rop::Copy);
    BitBlt(screen, 2, BoxY(1), 81, 27, fig.TxtTotal, 0, 0, Rop::Copy);
    BitBlt(screen, 2, BoxY(2), 81, 27, fig.TxtTime, 0, 0, Rop::Copy);
    BitBlt(screen, 2, BoxY(4) - 27 - 4, 81, 27, fig.TxtNext, 0, 0, Rop::Copy);
    const int lines[3][4] = {{11, 10, 3, 5}, {1, 2, 8, 0}, {11, 11, 8, 7}};  // glyphs, left to right
    for (int l = 0; l < 3; ++l)
        for (int k = 0; k < 4; ++k)
            BitBlt(screen, k * 18 + 10, BoxY(l) + 27 + 4, 18, 27, fig.TxtDigit, 18 * lines[l][k], 0, Rop::Copy);
    BitBlt(screen, 2, BoxY(4), 81, 81, fig.CellPic[1], 0, 0, Rop::Copy);
    BitBlt(screen, 84, 0, bw, bh, board, 0, 0, Rop::Copy);
    return screen;
}

}  // namespace ralvo::art
