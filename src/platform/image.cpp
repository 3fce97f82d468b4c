#include "platform/image.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>

namespace ralvo {

Image::Image(int width, int height, Rgb fill) { Reset(width, height, fill); }

void Image::Reset(int width, int height, Rgb fill) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    pixels_.assign(static_cast<size_t>(width_) * height_, fill & 0xffffff);
}

void BitBlt(Image& dst, int dx, int dy, int w, int h, const Image& src, int sx, int sy, Rop rop) {
    // Clip against the source, then against the destination, keeping both in step.
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    w = std::min({w, src.width() - sx, dst.width() - dx});
    h = std::min({h, src.height() - sy, dst.height() - dy});
    if (w <= 0 || h <= 0) return;
    // Overlapping copies within one picture must read before they write.
    const bool same = &dst == &src;
    std::vector<Rgb> tmp;
    const Rgb* sbase = src.data();
    int sstride = src.width();
    if (same) {
        tmp.resize(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            std::copy_n(src.data() + static_cast<size_t>(sy + y) * src.width() + sx, w, tmp.data() + static_cast<size_t>(y) * w);
        sbase = tmp.data();
        sstride = w;
        sx = sy = 0;
    }
    for (int y = 0; y < h; ++y) {
        const Rgb* s = sbase + static_cast<size_t>(sy + y) * sstride + sx;
        Rgb* d = dst.data() + static_cast<size_t>(dy + y) * dst.width() + dx;
        switch (rop) {
            case Rop::Copy: std::copy_n(s, w, d); break;
            case Rop::And: for (int x = 0; x < w; ++x) d[x] &= s[x]; break;
            case Rop::Invert: for (int x = 0; x < w; ++x) d[x] ^= s[x]; break;
        }
    }
}

void FillRect(Image& dst, int x, int y, int w, int h, Rgb color) {
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = std::min(dst.width(), x + w), y1 = std::min(dst.height(), y + h);
    for (int yy = y0; yy < y1; ++yy)
        for (int xx = x0; xx < x1; ++xx) dst.Set(xx, yy, color);
}

void DrawLine(Image& dst, int x0, int y0, int x1, int y1, Rgb color) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int stepx = x0 < x1 ? 1 : -1, stepy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        if (x0 >= 0 && y0 >= 0 && x0 < dst.width() && y0 < dst.height()) dst.Set(x0, y0, color);
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += stepx; }
        if (e2 <= dx) { err += dx; y0 += stepy; }
    }
}

void XorRectOutline(Image& dst, int left, int top, int right, int bottom, int penWidth, Rgb color) {
    // The pen straddles the outline (left..right-1, top..bottom-1) as a centred pen does.
    const int lo = (penWidth - 1) / 2, hi = penWidth / 2;
    const int ox0 = left - lo, oy0 = top - lo, ox1 = right - 1 + hi, oy1 = bottom - 1 + hi;  // outer, inclusive
    const int ix0 = left + hi + 1, iy0 = top + hi + 1, ix1 = right - 2 - hi, iy1 = bottom - 2 - hi;  // hole, inclusive
    for (int y = std::max(0, oy0); y <= std::min(dst.height() - 1, oy1); ++y)
        for (int x = std::max(0, ox0); x <= std::min(dst.width() - 1, ox1); ++x) {
            const bool inside = ix0 <= ix1 && iy0 <= iy1 && x >= ix0 && x <= ix1 && y >= iy0 && y <= iy1;
            if (!inside) dst.Set(x, y, dst.At(x, y) ^ color);
        }
}

namespace {

bool FromQImage(const QImage& loaded, Image& img) {
    if (loaded.isNull()) return false;
    QImage q = loaded.convertToFormat(QImage::Format_RGB32);
    Image out(q.width(), q.height());
    for (int y = 0; y < q.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(q.constScanLine(y));
        for (int x = 0; x < q.width(); ++x) out.Set(x, y, line[x] & 0xffffff);
    }
    img = std::move(out);
    return true;
}

}  // namespace

bool LoadPng(const std::string& path, Image& img) {
    return FromQImage(QImage(QString::fromStdString(path), "PNG"), img);
}

bool LoadPngData(const unsigned char* data, size_t size, Image& img) {
    return FromQImage(QImage::fromData(data, static_cast<int>(size), "PNG"), img);
}

bool SavePng(const std::string& path, const Image& img) {
    QImage q(img.width(), img.height(), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(q.scanLine(y));
        for (int x = 0; x < img.width(); ++x) line[x] = 0xff000000u | img.At(x, y);
    }
    return q.save(QString::fromStdString(path), "PNG");
}

}  // namespace ralvo
