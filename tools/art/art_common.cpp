#include <QBuffer>
#include <QImage>
#include <cmath>
#include <fstream>
#include <sstream>

#include "art.h"

namespace ralvo::art {
namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ArtError("cannot read " + path);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> SaveQImage(const QImage& q) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    if (!q.save(&buf, "PNG")) throw ArtError("PNG encoding failed");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace

Rgb Palette::operator[](const std::string& name) const {
    auto it = index.find(name);
    if (it == index.end()) throw ArtError("unknown colour " + name);
    return colors[it->second];
}

bool Palette::Contains(Rgb c) const {
    for (Rgb p : colors)
        if (p == c) return true;
    return false;
}

Palette LoadPalette(const std::string& path) {
    Palette pal;
    pal.colors.assign(16, kBlack);
    std::vector<bool> seen(16, false);
    for (const auto& raw : ReadLines(path)) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream is(line);
        int idx = -1;
        std::string name, hex;
        is >> idx >> name >> hex;
        if (idx < 0 || idx >= 16 || hex.size() != 6) throw ArtError("bad palette line: " + line);
        pal.colors[idx] = static_cast<Rgb>(std::stoul(hex, nullptr, 16));
        pal.index[name] = idx;
        seen[idx] = true;
    }
    for (bool s : seen)
        if (!s) throw ArtError("palette needs 16 colours");
    return pal;
}

double Params::Num(const std::string& key) const {
    auto it = values.find(key);
    if (it == values.end()) throw ArtError("missing parameter " + key);
    return std::stod(it->second);
}

Rgb Params::Col(const std::string& key) const {
    auto it = values.find(key);
    if (it == values.end()) throw ArtError("missing parameter " + key);
    return (*palette)[it->second];
}

Params LoadParams(const std::string& path, const Palette& pal) {
    Params p;
    p.palette = &pal;
    for (const auto& raw : ReadLines(path)) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream is(line);
        std::string key, value;
        is >> key >> value;
        if (value.empty()) throw ArtError("bad parameter line: " + line);
        p.values[key] = value;
    }
    return p;
}

std::u32string Utf8To32(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1f) : n == 3 ? (c & 0x0f) : (c & 0x07);
        for (int k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3f);
        out.push_back(cp);
        i += static_cast<size_t>(n);
    }
    return out;
}

const Glyph& Font::Get(char32_t c) const {
    auto it = glyphs.find(c);
    if (it == glyphs.end()) throw ArtError("font has no glyph U+" + std::to_string(static_cast<unsigned>(c)));
    return it->second;
}

Font LoadFont(const std::string& path) {
    Font font;
    Glyph* cur = nullptr;
    for (const auto& line : ReadLines(path)) {
        if (line.rfind("glyph ", 0) == 0) {
            std::u32string ch = Utf8To32(line.substr(6));
            if (ch.size() != 1) throw ArtError("bad glyph line: " + line);
            cur = &font.glyphs[ch[0]];
            continue;
        }
        // Glyph rows start with '#' too; comments are told apart by the blank after it.
        if (line.empty() || line.rfind("# ", 0) == 0) {
            cur = nullptr;
            continue;
        }
        if (!cur) throw ArtError("font row outside a glyph: " + line);
        if (cur->w != 0 && static_cast<int>(line.size()) != cur->w) throw ArtError("ragged glyph row: " + line);
        cur->w = static_cast<int>(line.size());
        cur->rows.push_back(line);
        cur->h = static_cast<int>(cur->rows.size());
    }
    return font;
}

Sources LoadSources(const std::string& dir) {
    Sources s;
    s.dir = dir;
    s.palette = LoadPalette(dir + "/palette.txt");
    s.params = LoadParams(dir + "/params.txt", s.palette);
    s.font = LoadFont(dir + "/font.txt");
    return s;
}

void Shade(Image& img, int x0, int y0, int w, int h, const std::function<std::optional<Rgb>(int, int)>& f) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int px = x0 + x, py = y0 + y;
            if (px < 0 || py < 0 || px >= img.width() || py >= img.height()) continue;
            if (auto c = f(x, y)) img.Set(px, py, *c);
        }
}

void ShadeSprite(Image& pic, Image& mask, int x0, int y0, int w, int h,
                 const std::function<std::optional<Rgb>(int, int)>& f) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (x0 + x >= pic.width() || y0 + y >= pic.height() || x0 + x >= mask.width() || y0 + y >= mask.height())
                throw ArtError("sprite frame outside its strip");
            auto c = f(x, y);
            pic.Set(x0 + x, y0 + y, c ? *c : kBlack);
            mask.Set(x0 + x, y0 + y, c ? kBlack : kWhite);
        }
}

double Hash01(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / 16777216.0;
}

double ValueNoise(double x, double y, double scale, int seed) {
    const double fx = x / scale, fy = y / scale;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const double tx = fx - ix, ty = fy - iy;
    auto s = [](double t) { return t * t * (3 - 2 * t); };
    const double a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
    const double c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
    const double u = s(tx), v = s(ty);
    return (a * (1 - u) + b * u) * (1 - v) + (c * (1 - u) + d * u) * v;
}

int TextWidth(const Font& font, const std::u32string& text, int scale, int spacing) {
    int w = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        w += font.Get(text[i]).w * scale;
        if (i + 1 < text.size()) w += spacing;
    }
    return w;
}

void DrawText(Image& img, const Font& font, const std::u32string& text, int x, int y, int scale, int spacing,
              Rgb color) {
    DrawFancyText(img, font, text, x, y, scale, spacing, [color](int, int) { return color; }, std::nullopt,
                  std::nullopt);
}

void DrawFancyText(Image& img, const Font& font, const std::u32string& text, int x, int y, int scale, int spacing,
                   const std::function<Rgb(int fontRow, int pixelRow)>& fill, std::optional<Rgb> outline,
                   std::optional<Rgb> shadow) {
    // Ink map of the whole line first, so outline and shadow can look at neighbours.
    const int w = TextWidth(font, text, scale, spacing);
    int h = 0;
    for (char32_t c : text) h = std::max(h, font.Get(c).h * scale);
    std::vector<int> ink(static_cast<size_t>(w) * h, -1);  // font row, -1 = paper
    int cx = 0;
    for (char32_t c : text) {
        const Glyph& g = font.Get(c);
        const int top = h - g.h * scale;  // glyphs stand on a common baseline
        for (int gy = 0; gy < g.h; ++gy)
            for (int gx = 0; gx < g.w; ++gx)
                if (g.Ink(gx, gy))
                    for (int sy = 0; sy < scale; ++sy)
                        for (int sx = 0; sx < scale; ++sx)
                            ink[static_cast<size_t>(top + gy * scale + sy) * w + cx + gx * scale + sx] = gy;
        cx += g.w * scale + spacing;
    }
    auto inkAt = [&](int px, int py) {
        return px >= 0 && py >= 0 && px < w && py < h && ink[static_cast<size_t>(py) * w + px] >= 0;
    };
    auto put = [&](int px, int py, Rgb c) {
        if (px >= 0 && py >= 0 && px < img.width() && py < img.height()) img.Set(px, py, c);
    };
    if (shadow)
        for (int py = 0; py < h + 2; ++py)
            for (int px = 0; px < w + 2; ++px)
                if (inkAt(px - 2, py - 2) && !inkAt(px, py)) put(x + px, y + py, *shadow);
    if (outline)
        for (int py = -1; py <= h; ++py)
            for (int px = -1; px <= w; ++px) {
                if (inkAt(px, py)) continue;
                bool near = false;
                for (int dy = -1; dy <= 1 && !near; ++dy)
                    for (int dx = -1; dx <= 1 && !near; ++dx) near = inkAt(px + dx, py + dy);
                if (near) put(x + px, y + py, *outline);
            }
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            const int row = ink[static_cast<size_t>(py) * w + px];
            if (row >= 0) put(x + px, y + py, fill(row, py));
        }
}

bool TrackData::CellValid(int id) const {
    return id >= 1 && id <= kFileCells && cells[id].CellHdr == kCellMagic;
}

bool TrackData::PathValid(int id) const {
    return id >= 1 && id <= kFilePaths && paths[id].PathHdr == kPathMagic;
}

std::optional<TrackData> LoadTrackData(const std::string& dir) {
    const auto cellBytes = ReadFile(dir + "/CELL.DAT");
    const auto pathBytes = ReadFile(dir + "/PATH.DAT");
    if (cellBytes.empty() || pathBytes.empty()) return std::nullopt;
    TrackData d;
    for (int i = 1; i <= kFileCells; ++i) {
        const size_t off = static_cast<size_t>(i - 1) * kCellRecLen;
        if (off + kCellRecLen > cellBytes.size()) break;
        d.cells[i] = DecodeCellRec(cellBytes.data() + off);
    }
    for (int i = 1; i <= kFilePaths; ++i) {
        const size_t off = static_cast<size_t>(i - 1) * kPathRecLen;
        if (off + kPathRecLen > pathBytes.size()) break;
        d.paths[i] = DecodePathRec(pathBytes.data() + off);
    }
    return d;
}

DotRec Rotate(const DotRec& d, int r) {
    DotRec t = d;
    for (int i = 0; i < ((r % 4) + 4) % 4; ++i) {
        const uint8_t x = t.Xx, y = t.Yy;
        t.Xx = static_cast<uint8_t>(80 - y);
        t.Yy = x;
    }
    t.Angle = static_cast<uint8_t>((d.Angle + 4 * r) % 16);
    return t;
}

std::vector<uint8_t> EncodeIndexedPng(const Image& img, const Palette& pal) {
    QImage q(img.width(), img.height(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (Rgb c : pal.colors) table.push_back(0xff000000u | c);
    q.setColorTable(table);
    for (int y = 0; y < img.height(); ++y) {
        uchar* line = q.scanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            const Rgb c = img.At(x, y);
            int idx = -1;
            for (size_t i = 0; i < pal.colors.size(); ++i)
                if (pal.colors[i] == c) idx = static_cast<int>(i);
            if (idx < 0)
                throw ArtError("colour outside the palette at " + std::to_string(x) + "," + std::to_string(y));
            line[x] = static_cast<uchar>(idx);
        }
    }
    return SaveQImage(q);
}

std::vector<uint8_t> EncodeRgbPng(const Image& img) {
    QImage q(img.width(), img.height(), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(q.scanLine(y));
        for (int x = 0; x < img.width(); ++x) line[x] = 0xff000000u | img.At(x, y);
    }
    return SaveQImage(q);
}

}  // namespace ralvo::art
