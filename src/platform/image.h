// Off-screen RGB pictures with exact raster operations.
// Pixels are 0x00RRGGBB; the top byte is always 0, so AND/XOR never leak into it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ralvo {

using Rgb = uint32_t;

constexpr Rgb MakeRgb(int r, int g, int b) {
    return (static_cast<Rgb>(r & 0xff) << 16) | (static_cast<Rgb>(g & 0xff) << 8) | static_cast<Rgb>(b & 0xff);
}
constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xffffff;

enum class Rop { Copy, And, Invert };  // SRCCOPY, SRCAND, SRCINVERT

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgb fill = kBlack);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    // Resizes and clears to fill.
    void Reset(int width, int height, Rgb fill = kBlack);

    Rgb At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void Set(int x, int y, Rgb c) { pixels_[static_cast<size_t>(y) * width_ + x] = c & 0xffffff; }
    const Rgb* data() const { return pixels_.data(); }
    Rgb* data() { return pixels_.data(); }

    bool operator==(const Image& o) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};

// Copies the w x h block at (sx, sy) of src onto (dx, dy) of dst with rop.
// Parts falling outside either picture are clipped; dst may be src.
void BitBlt(Image& dst, int dx, int dy, int w, int h, const Image& src, int sx, int sy, Rop rop);

// Solid fill of [x, x+w) x [y, y+h), clipped.
void FillRect(Image& dst, int x, int y, int w, int h, Rgb color);

// One-pixel line from (x0, y0) towards (x1, y1); the end point is not drawn.
void DrawLine(Image& dst, int x0, int y0, int x1, int y1, Rgb color);

// Outline of the rectangle (left, top)-(right, bottom) drawn with an XOR pen of
// the given width, interior untouched. Each pixel is inverted at most once, so
// drawing the same outline twice restores the picture.
void XorRectOutline(Image& dst, int left, int top, int right, int bottom, int penWidth, Rgb color);

// PNG through QtGui (no display needed). Load returns false and leaves img untouched on failure.
bool LoadPng(const std::string& path, Image& img);
bool SavePng(const std::string& path, const Image& img);
// PNG from bytes held in memory (for pictures embedded in the program).
bool LoadPngData(const unsigned char* data, size_t size, Image& img);

}  // namespace ralvo
