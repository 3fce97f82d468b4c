// The picture, sound and help generator of the game's data set.
// Everything is drawn from the text sources in dataset/art and, for the cell
// pictures, from the track data files; the output is the same on every run.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/records.h"
#include "platform/image.h"
#include "render/figure.h"

namespace ralvo::art {

struct ArtError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------- sources

struct Palette {
    std::vector<Rgb> colors;              // index -> colour, 16 entries
    std::map<std::string, int> index;     // name -> index
    Rgb operator[](const std::string& name) const;
    bool Contains(Rgb c) const;
};
Palette LoadPalette(const std::string& path);

struct Params {
    std::map<std::string, std::string> values;
    const Palette* palette = nullptr;
    double Num(const std::string& key) const;
    Rgb Col(const std::string& key) const;
};
Params LoadParams(const std::string& path, const Palette& pal);

struct Glyph {
    int w = 0, h = 0;
    std::vector<std::string> rows;
    bool Ink(int x, int y) const { return rows[y][x] == '#'; }
};
struct Font {
    std::map<char32_t, Glyph> glyphs;
    const Glyph& Get(char32_t c) const;
};
Font LoadFont(const std::string& path);

std::u32string Utf8To32(const std::string& s);

struct Sources {
    Palette palette;
    Params params;
    Font font;
    std::string dir;  // dataset/art
};
Sources LoadSources(const std::string& dir);

// ---------------------------------------------------------------- drawing helpers

// Calls f(x, y) for every pixel of the w x h block at (x0, y0) of img; f returns a colour or nothing.
void Shade(Image& img, int x0, int y0, int w, int h, const std::function<std::optional<Rgb>(int, int)>& f);

// A sprite frame: f returns the colour of the sprite or nothing where the board shows through.
// The mask turns black under the sprite and stays white elsewhere; the picture stays black there.
void ShadeSprite(Image& pic, Image& mask, int x0, int y0, int w, int h,
                 const std::function<std::optional<Rgb>(int, int)>& f);

// Deterministic hash noise in [0, 1).
double Hash01(int x, int y, int seed);
// Smooth value noise in [0, 1) with the given feature size.
double ValueNoise(double x, double y, double scale, int seed);

int TextWidth(const Font& font, const std::u32string& text, int scale, int spacing);
// Draws text with its top-left at (x, y); each font pixel becomes a scale x scale block.
void DrawText(Image& img, const Font& font, const std::u32string& text, int x, int y, int scale, int spacing,
              Rgb color);
// The same text, filled by a colour chosen per font row, with a one-pixel outline of outline colour.
void DrawFancyText(Image& img, const Font& font, const std::u32string& text, int x, int y, int scale, int spacing,
                   const std::function<Rgb(int fontRow, int pixelRow)>& fill, std::optional<Rgb> outline,
                   std::optional<Rgb> shadow);

// ---------------------------------------------------------------- track data

struct TrackData {
    std::array<CellRec, kFileCells + 1> cells{};  // [1..100]
    std::array<PathRec, kFilePaths + 1> paths{};  // [1..18]
    bool CellValid(int id) const;
    bool PathValid(int id) const;
};
// Reads CELL.DAT and PATH.DAT from dir; nullopt when either is missing.
std::optional<TrackData> LoadTrackData(const std::string& dir);

// Turns a canonical dot r quarter turns clockwise about the box centre.
DotRec Rotate(const DotRec& d, int r);

// ---------------------------------------------------------------- pictures

// Number of rotation frames of cell picture n (0 for picture 0).
int CellFrameCount(int n);

// Every picture except the cell pictures.
void DrawSprites(const Sources& src, Figure& fig);
// The program icon.
Image DrawIcon(const Sources& src, const Figure& fig);
// Cell pictures 1..50 from the track data.
void DrawCells(const Sources& src, const TrackData& data, Figure& fig);
// The track of one cell frame, as the generator draws it: used by tests to check rails against dots.
Image DrawCellFrame(const Sources& src, const TrackData& data, int picture, int frame);
// The record that a cell picture shows: the cell whose id is the picture number, else the first
// cell naming that picture; nullptr when no cell uses it.
const CellRec* CellForPicture(const TrackData& data, int picture);

// Named pictures of the store, in file order: (file name without ".png", image).
std::vector<std::pair<std::string, const Image*>> NamedPictures(const Figure& fig);

// ---------------------------------------------------------------- sounds, help, sheets

struct Wave {
    std::string name;              // "Click" ...
    std::vector<int16_t> samples;  // 22050 Hz mono
};
std::vector<Wave> SynthesiseSounds(const std::string& path);
std::vector<uint8_t> EncodeWav(const Wave& w);

std::string AssembleHelp(const Sources& src, const Figure& fig, const Image& icon);

Image DrawContactSheet(const Sources& src, const Figure& fig, const Image& icon);
Image DrawSampleBoard(const Sources& src, const TrackData& data, const Figure& fig);

// ---------------------------------------------------------------- output

// 16-colour indexed PNG; throws when a pixel is not a palette colour.
std::vector<uint8_t> EncodeIndexedPng(const Image& img, const Palette& pal);
std::vector<uint8_t> EncodeRgbPng(const Image& img);

struct OutputFile {
    std::string path;  // relative to the repository root
    std::vector<uint8_t> bytes;
};
// All generated files. Without track data the cell pictures, the help, the sheets are left out.
std::vector<OutputFile> GenerateAll(const std::string& artDir, const std::optional<TrackData>& data);

}  // namespace ralvo::art
