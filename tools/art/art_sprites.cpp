// Sprites, overlays, frame pieces, labels, digits, messages, the title and the icon.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "art.h"
#include "art_shapes.h"

namespace ralvo::art {
namespace {

constexpr double kPi = std::numbers::pi;

using Shader = std::function<std::optional<Rgb>(int, int)>;

// ------------------------------------------------------------------ vehicle

// The track-maintenance car seen from above: u forward, v to its right, in sprite pixels.
std::optional<Rgb> VehicleAt(const Params& p, double u, double v) {
    const double L = p.Num("vehicle.length"), W = p.Num("vehicle.width");
    const double au = std::abs(u), av = std::abs(v);
    // Wheels stand out a little beside the body.
    if (std::abs(au - 4.5) <= 1.5 && av > W - 0.5 && av <= W + 1.0) return p.Col("vehicle.wheel");
    if (au > L || av > W) return std::nullopt;
    // Rounded corners.
    const double cu = au - (L - 1.6), cv = av - (W - 1.6);
    if (cu > 0 && cv > 0 && cu * cu + cv * cv > 1.6 * 1.6) return std::nullopt;
    // Cab windows at the front.
    if (u >= 2.5 && u <= 5.0 && av <= W - 2.0) return p.Col("vehicle.cab");
    if (u > 5.0 && av <= W - 2.0) return p.Col("vehicle.body");
    // Warning beacon on the roof.
    if ((u + 0.5) * (u + 0.5) + v * v <= 2.3) return p.Col("vehicle.beacon");
    // Hazard stripes across the rear.
    if (u <= -L + 3.0) {
        const int band = static_cast<int>(std::floor((v + u * 0.6 + 20) / 1.6));
        return band % 2 ? p.Col("vehicle.stripe") : p.Col("vehicle.outline");
    }
    return p.Col("vehicle.body");
}

Shader VehicleShader(const Params& p, double angleDeg, double cx, double cy, double scale) {
    const double a = angleDeg * kPi / 180.0, ca = std::cos(a), sa = std::sin(a);
    return [=, &p](int x, int y) -> std::optional<Rgb> {
        const double dx = (x - cx) / scale, dy = (y - cy) / scale;
        return VehicleAt(p, dx * ca + dy * sa, -dx * sa + dy * ca);
    };
}

// Gives every sprite pixel that touches the background a crisp outline, in any rotation.
void Outline(Image& pic, const Image& mask, int x0, int w, int h, Rgb color, const std::vector<Rgb>& keep) {
    auto under = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && mask.At(x0 + x, y) == kBlack; };
    std::vector<std::pair<int, int>> edge;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (under(x, y) && (!under(x - 1, y) || !under(x + 1, y) || !under(x, y - 1) || !under(x, y + 1)) &&
                std::find(keep.begin(), keep.end(), pic.At(x0 + x, y)) == keep.end())
                edge.push_back({x, y});
    for (auto [x, y] : edge) pic.Set(x0 + x, y, color);
}

// ------------------------------------------------------------------ rock

std::optional<Rgb> RockAt(const Palette& pal, double dx, double dy, double spin, double radius, int seed) {
    const double r = std::hypot(dx, dy);
    const double phi = std::atan2(dy, dx);
    const double edge = radius + 0.7 * std::sin(3 * phi + seed) + 0.4 * std::cos(5 * phi + 2 * seed);
    if (r > edge) return std::nullopt;
    if (r > edge - 1.0) return pal["dgrey"];
    // Surface pattern turns with the rock; light comes from the top left.
    const double ca = std::cos(spin), sa = std::sin(spin);
    const double tx = dx * ca + dy * sa, ty = -dx * sa + dy * ca;
    const double light = -(dx + dy) / (radius * 1.41);
    const double speck = Hash01(static_cast<int>(std::floor(tx * 0.8 + 50)), static_cast<int>(std::floor(ty * 0.8 + 50)), seed);
    if (speck > 0.86) return pal["dbrown"];
    if (speck < 0.10) return pal["dgrey"];
    if (light > 0.45) return pal["lgrey"];
    if (light < -0.35) return pal["dgrey"];
    return pal["grey"];
}

// ------------------------------------------------------------------ aeroplane

std::optional<Rgb> PlaneAt(const Palette& pal, double u, double v) {
    const double av = std::abs(v);
    // Spinning propeller.
    if (u >= 13.0 && u <= 14.2 && av <= 6.5) return pal["grey"];
    // Fuselage with a rounded nose and a slim tail.
    double half = u > 8 ? 3.0 * std::sqrt(std::max(0.0, 1 - std::pow((u - 8) / 5.0, 2))) : u < -2 ? 3.0 - (-2 - u) * 0.1 : 3.0;
    if (u >= -16 && u <= 13 && av <= half) {
        if (u > 10.5) return pal["red"];
        if (u >= 3 && u <= 7 && av <= 1.6) return pal["cyan"];
        if (u < -6 && u > -8) return pal["red"];
        return pal["lgrey"];
    }
    // Main wing with rounded tips and roundels.
    const double lead = 4.0 - av * 0.08, trail = -3.5 + av * 0.08;
    const double tip = 17.0 - std::max(0.0, std::abs(u - (lead + trail) / 2) - 2.0);
    if (av <= tip && u <= lead && u >= trail) {
        const double ru = u - (lead + trail) / 2, rv = av - 11.0;
        if (ru * ru + rv * rv <= 6.5) return ru * ru + rv * rv <= 2.0 ? pal["white"] : pal["red"];
        return pal["white"];
    }
    // Tail plane.
    if (av <= 7.0 && u <= -12.0 + av * 0.15 && u >= -16) return pal["white"];
    return std::nullopt;
}

// ------------------------------------------------------------------ explosion, crash

std::optional<Rgb> BlastAt(const Palette& pal, int frame, double dx, double dy) {
    const double r = std::hypot(dx, dy), phi = std::atan2(dy, dx);
    switch (frame) {
        case 0: {
            const double spikes = 7.5 + 2.5 * std::pow(std::abs(std::cos(4 * phi)), 6);
            if (r <= 3.5) return pal["white"];
            if (r <= 6.0) return pal["yellow"];
            if (r <= spikes) return pal["orange"];
            return std::nullopt;
        }
        case 1: {
            const double R = 12.0 + 2.2 * std::sin(7 * phi) + 1.2 * std::sin(11 * phi + 1);
            if (r > R + 1.5) {
                // Flying sparks.
                if (r < 15 && Hash01(static_cast<int>(dx + 40), static_cast<int>(dy + 40), 17) > 0.93) return pal["yellow"];
                return std::nullopt;
            }
            if (r <= 0.30 * R) return pal["white"];
            if (r <= 0.55 * R) return pal["yellow"];
            if (r <= 0.82 * R) return pal["orange"];
            if (r <= R) return pal["red"];
            return pal["dgrey"];
        }
        default: {
            // What stays on the board: a scorched crater with a few embers.
            const double R = 10.5 + 1.5 * std::sin(5 * phi + 0.5) + ValueNoise(dx, dy, 3.0, 23) * 2.0;
            if (r > R) {
                if (r < 14.5 && Hash01(static_cast<int>(dx + 40), static_cast<int>(dy + 40), 29) > 0.90) return pal["dbrown"];
                return std::nullopt;
            }
            const double n = Hash01(static_cast<int>(dx + 40), static_cast<int>(dy + 40), 31);
            if (r <= 4.5) return n > 0.85 ? pal["orange"] : pal["black"];
            if (r <= 7.0) return n > 0.92 ? pal["red"] : pal["dgrey"];
            return n > 0.6 ? pal["brown"] : pal["dbrown"];
        }
    }
}

std::optional<Rgb> CrashAt(const Params& p, int frame, double dx, double dy) {
    const Palette& pal = *p.palette;
    const double r = std::hypot(dx, dy), phi = std::atan2(dy, dx);
    const int hx = static_cast<int>(std::floor(dx + 40)), hy = static_cast<int>(std::floor(dy + 40));
    switch (frame) {
        case 0: {
            const double ray = 4.0 + 8.0 * std::pow(std::abs(std::cos(4 * phi + 0.3)), 8);
            if (r <= 2.5) return pal["white"];
            if (r <= ray) return r <= ray * 0.6 ? pal["yellow"] : pal["orange"];
            return std::nullopt;
        }
        case 1: {
            const double R = 10.0 + 2.5 * ValueNoise(dx, dy, 2.5, 41) + 1.5 * std::sin(6 * phi);
            if (r > R) {
                if (r < 15 && Hash01(hx, hy, 43) > 0.92) return Hash01(hx, hy, 44) > 0.5 ? pal["yellow"] : pal["orange"];
                return std::nullopt;
            }
            if (r <= 0.35 * R) return pal["white"];
            if (r <= 0.65 * R) return pal["yellow"];
            return r <= 0.88 * R ? pal["orange"] : pal["red"];
        }
        case 2: {
            // Flames below, smoke rising above.
            const double smokeY = dy + 5.0;
            const double smoke = std::hypot(dx * 0.9, smokeY * 1.1) - 9.0 - 3.0 * ValueNoise(dx, dy, 3.0, 47);
            const double flame = std::hypot(dx * 1.2, (dy - 4.0) * 0.8) - 7.5 - 3.0 * ValueNoise(dx, dy, 2.0, 53);
            if (flame <= 0) return flame < -4 ? pal["yellow"] : flame < -1.5 ? pal["orange"] : pal["red"];
            if (smoke <= 0) return smoke < -3 && Hash01(hx, hy, 59) > 0.5 ? pal["grey"] : pal["dgrey"];
            if (r < 14.5 && Hash01(hx, hy, 61) > 0.94) return pal["yellow"];
            return std::nullopt;
        }
        default: {
            // The wreck: the car thrown askew, blackened, with a last plume of smoke.
            const double a = 35 * kPi / 180, ca = std::cos(a), sa = std::sin(a);
            const double ux = dx + 1, uy = dy - 3;
            if (auto c = VehicleAt(p, ux * ca + uy * sa, -ux * sa + uy * ca)) {
                if (*c == p.Col("vehicle.body")) return Hash01(hx, hy, 67) > 0.55 ? pal["dbrown"] : pal["orange"];
                if (*c == p.Col("vehicle.cab")) return pal["dgrey"];
                return c;
            }
            const double smoke = std::hypot(dx - 3, (dy + 9) * 1.2) - 5.5 - 2.5 * ValueNoise(dx, dy, 2.5, 71);
            if (smoke <= 0) return smoke < -2.5 ? pal["grey"] : pal["dgrey"];
            if (std::hypot(dx + 6, dy - 8) < 3.2) return Hash01(hx, hy, 73) > 0.4 ? pal["red"] : pal["orange"];
            if (r < 14.5 && Hash01(hx, hy, 79) > 0.95) return pal["dgrey"];
            return std::nullopt;
        }
    }
}

// ------------------------------------------------------------------ turntable disc

std::optional<Rgb> DiscAt(const Palette& pal, int frame, double dx, double dy) {
    const double r = std::hypot(dx, dy);
    if (r > 10.3) return std::nullopt;
    if (r > 9.3) return pal["grey"];
    // Bridge directions in degrees, clockwise from east.
    std::vector<double> bridges;
    switch (frame) {
        case 0: bridges = {0, 90}; break;
        case 1: bridges = {0}; break;
        case 2: bridges = {90}; break;
        case 3: break;
        default: bridges = {22.5 * (frame - 4), 22.5 * (frame - 4) + 90}; break;
    }
    std::optional<Rgb> out;
    for (double deg : bridges) {
        const double a = deg * kPi / 180, ca = std::cos(a), sa = std::sin(a);
        const double v = std::abs(-dx * sa + dy * ca);
        if (v <= 2.6) out = pal["lgrey"];
        else if (v <= 4.3 && !out) out = pal["brown"];
    }
    for (double deg : bridges) {
        const double a = deg * kPi / 180, ca = std::cos(a), sa = std::sin(a);
        const double v = std::abs(-dx * sa + dy * ca);
        if (v > 1.2 && v <= 2.6 && out == pal["lgrey"]) out = pal["brown"];
    }
    if (r <= 1.8) return pal["yellow"];
    if (out) return out;
    return r > 7.5 ? pal["dbrown"] : pal["dgrey"];
}

// ------------------------------------------------------------------ marsh collapse water

Rgb PortalDark(const Sources& src) { return src.params.Col("portal.core"); }

struct Offset {
    int x, y;
};
constexpr Offset kCollapseOffset[7] = {{22, 22}, {22, 22}, {22, 22}, {35, 35}, {6, 35}, {6, 6}, {35, 6}};

std::optional<Rgb> FallAt(const Params& p, int v, int fx, int fy) {
    const Palette& pal = *p.palette;
    const double bx = kCollapseOffset[v].x + fx, by = kCollapseOffset[v].y + fy;
    // How far inside the sunk stretch the point lies (positive = water).
    double inside;
    const double wobble = 2.2 * (ValueNoise(bx, by, 4.0, 100 + v) - 0.5);
    const double edge = std::min({fx + 0.5, fy + 0.5, 39.5 - fx, 39.5 - fy});  // fade out at the frame edge
    if (v == 0) {
        inside = 16.0 - std::hypot(bx - 40, by - 40);
    } else if (v == 1 || v == 2) {
        const double across = v == 1 ? std::abs(by - 40) : std::abs(bx - 40);
        const double along = v == 1 ? std::min(fx + 0.5, 39.5 - fx) : std::min(fy + 0.5, 39.5 - fy);
        inside = 12.0 * std::min(1.0, along / 5.0) - across;
    } else {
        static constexpr int kCorner[4][2] = {{80, 80}, {0, 80}, {0, 0}, {80, 0}};
        const int c = v - 3;
        const double d = std::hypot(bx - kCorner[c][0], by - kCorner[c][1]);
        inside = 11.5 * std::min(1.0, edge / 5.0) - std::abs(d - 40.0);
    }
    inside += wobble;
    if (inside < 0) return std::nullopt;
    if (inside < 1.3) return pal["olive"];
    // Broken sleepers afloat, ripples on the water.
    const int hx = static_cast<int>(bx) / 3, hy = static_cast<int>(by) / 2;
    if (inside > 3 && Hash01(hx, hy, 211 + v) > 0.90) return pal["brown"];
    const double ripple = std::sin((bx * 0.7 + by * 0.35) + 3 * ValueNoise(bx, by, 5.0, 300 + v));
    if (ripple > 0.93 && inside > 2) return pal["cyan"];
    return pal["blue"];
}

// ------------------------------------------------------------------ markers

bool DoubleArrowAt(double u, double v) {
    const double au = std::abs(u), av = std::abs(v);
    if (au >= 3.5 && au <= 9 && av <= 9 - au) return true;
    return au < 3.5 && av <= 1.0;
}

Image MarkerFrames(const Sources& src) {
    const Palette& pal = src.palette;
    Image img(253, 23);
    for (int f = 0; f < 11; ++f)
        Shade(img, 23 * f, 0, 23, 23, [&](int x, int y) -> std::optional<Rgb> {
            const double bx = 30 + x, by = 30 + y;  // box pixel under this marker pixel
            const double dx = bx - 40, dy = by - 40;
            if (f >= 7) {
                // A bridge deck laid across the covered track, turned with the cell: planks across
                // the deck, parapets along both edges, a shadow on the track below.
                const bool across = (f - 7) % 2 == 0;  // deck runs north-south at rotation 0
                const int along = across ? y : x, side = across ? x : y;
                if (side <= 1 || side >= 21) return side == 0 || side == 22 ? pal["black"] : pal["lgrey"];
                if (side == 2 || side == 20) return pal["grey"];
                if (along % 4 == 0) return pal["dbrown"];
                return (along / 4) % 2 ? pal["brown"] : Hash01(along, side, 7) < 0.15 ? pal["dbrown"] : pal["brown"];
            }
            bool ink = false;
            if (f == 0) {
                // Undirected warp: a four-pointed sparkle.
                const double au = std::abs(dx), av = std::abs(dy);
                ink = (au <= 0.6 && av <= 7) || (av <= 0.6 && au <= 7) || (au <= 1.6 && av <= 3.5 - au) ||
                      (av <= 1.6 && au <= 3.5 - av) || (au + av <= 2.5);
            } else if (f <= 2) {
                ink = f == 1 ? DoubleArrowAt(dx, dy) : DoubleArrowAt(dy, dx);
            }
            if (ink) return pal["white"];
            return Portal(src, bx, by);
        });
    return img;
}

// ------------------------------------------------------------------ board frame

Rgb GirderAt(const Palette& pal, int along, int across, int width) {
    // A riveted steel girder; 'along' runs the length, 'across' 0..width-1.
    if (across == 0 || across == width - 1) return pal["black"];
    if (across == 1 || across == width - 2) return pal["grey"];
    const int inner = across - 2, span = width - 4;
    if ((along + inner) % 27 == 0 || ((along - inner) % 27 + 27) % 27 == 0) return pal["grey"];
    if (along % 27 == 13 && (inner == 1 || inner == span - 2)) return pal["lgrey"];
    return pal["dgrey"];
}

// ------------------------------------------------------------------ texts

std::function<Rgb(int, int)> Bands(const Palette& pal, std::vector<std::string> names) {
    return [&pal, names](int row, int) { return pal[names[std::min<size_t>(row, names.size() - 1)]]; };
}

Image Label(const Sources& src, const std::string& text) {
    const Palette& pal = src.palette;
    Image img(81, 27, pal["black"]);
    // Rounded plate.
    Shade(img, 0, 0, 81, 27, [&](int x, int y) -> std::optional<Rgb> {
        const int ex = std::min(x, 80 - x), ey = std::min(y, 26 - y);
        if (ex + ey < 3) return std::nullopt;
        if (ex == 0 || ey == 0 || ex + ey == 3) return pal["grey"];
        return pal["dgrey"];
    });
    const auto t = Utf8To32(text);
    const int w = TextWidth(src.font, t, 2, 2);
    DrawFancyText(img, src.font, t, (81 - w) / 2, 7, 2, 2, Bands(pal, {"yellow", "yellow", "yellow", "yellow", "orange", "orange", "orange"}),
                  std::nullopt, pal["black"]);
    return img;
}

Image Digits(const Sources& src) {
    const Palette& pal = src.palette;
    Image img(216, 27, pal["black"]);
    const std::u32string glyphs = U"0123456789- ";
    for (int g = 0; g < 11; ++g) {
        const std::u32string t(1, glyphs[g]);
        DrawFancyText(img, src.font, t, 18 * g + 1, 3, 3, 0, Bands(pal, {"white", "white", "white", "lgrey", "lgrey", "lgrey", "lgrey"}),
                      std::nullopt, pal["dgrey"]);
    }
    return img;
}

Image Message(const Sources& src, int w, const std::string& text, std::vector<std::string> bands) {
    const Palette& pal = src.palette;
    Image img(w, 81, pal["black"]);
    Shade(img, 0, 0, w, 81, [&](int x, int y) -> std::optional<Rgb> {
        const int e = std::min({x, y, w - 1 - x, 80 - y});
        if (e == 0) return pal["grey"];
        if (e == 1) return pal["lgrey"];
        if (e == 2) return pal["grey"];
        if (e <= 4) return pal["black"];
        if (e == 5) return pal["yellow"];
        return pal["dgrey"];
    });
    const auto t = Utf8To32(text);
    const int tw = TextWidth(src.font, t, 5, 5);
    DrawFancyText(img, src.font, t, (w - tw) / 2, (81 - 35) / 2, 5, 5, Bands(pal, bands), pal["black"], pal["black"]);
    return img;
}

Image Title(const Sources& src, const Figure& fig) {
    const Palette& pal = src.palette;
    Image img(240, 120, pal["black"]);
    Shade(img, 0, 0, 240, 120, [&](int x, int y) -> std::optional<Rgb> {
        const int e = std::min({x, y, 239 - x, 119 - y});
        if (e == 0) return pal["grey"];
        if (e == 1) return pal["yellow"];
        if (e == 2) return pal["grey"];
        // A few stars in the night sky.
        if (y < 80 && Hash01(x, y, 5) > 0.992) return pal["lgrey"];
        return std::nullopt;
    });
    const auto kana = Utf8To32("ラルボ");
    const int kw = TextWidth(src.font, kana, 4, 10);
    DrawFancyText(img, src.font, kana, (240 - kw) / 2, 10, 4, 10,
                  Bands(pal, {"yellow", "yellow", "yellow", "yellow", "yellow", "orange", "orange", "orange", "orange", "red", "red", "red"}),
                  pal["dbrown"], pal["red"]);
    const auto latin = Utf8To32("RALVO");
    const int lw = TextWidth(src.font, latin, 2, 8);
    DrawFancyText(img, src.font, latin, (240 - lw) / 2, 66, 2, 8, Bands(pal, {"cyan"}), std::nullopt, pal["blue"]);
    // A stretch of track with the car on it.
    Shade(img, 3, 88, 234, 29, [&](int x, int y) -> std::optional<Rgb> {
        const int d = std::abs(y - 14);
        if (d == 5 || d == 6) return pal["lgrey"];
        if (d <= 9 && (x % 6) < 3) return pal["brown"];
        if (d <= 11) return Hash01(x, y, 9) < 0.22 ? pal["grey"] : pal["dgrey"];
        return std::nullopt;
    });
    BitBlt(img, 150, 92, 21, 21, fig.VmskPic, 0, 0, Rop::And);
    BitBlt(img, 150, 92, 21, 21, fig.VehiPic, 0, 0, Rop::Invert);
    return img;
}

}  // namespace

std::optional<Rgb> PortalAt(const Sources& src, double bx, double by) {
    // The round portal of a warp cell, centred on the box. The markers take their background from it,
    // so they sit seamlessly on the cell picture.
    const Params& p = src.params;
    const double dx = bx - 40, dy = by - 40, r = std::hypot(dx, dy), phi = std::atan2(dy, dx);
    const double R = p.Num("portal.radius"), ring = p.Num("portal.ring");
    if (r > R + 5.0) return std::nullopt;
    if (r > R + 2.0) {
        // A ring of stones around the portal.
        const int stone = static_cast<int>(std::floor((phi + kPi) / (2 * kPi) * 16));
        const double mid = (std::floor((phi + kPi) / (2 * kPi) * 16) + 0.5) / 16 * 2 * kPi - kPi;
        if (std::abs(phi - mid) * r > 3.0) return PortalDark(src);
        return stone % 2 ? src.palette["lgrey"] : src.palette["grey"];
    }
    if (r > R) return PortalDark(src);
    if (r > R - 1.0) return p.Col("portal.glow");
    if (r > R - ring) return p.Col("portal.color");
    const double s = std::sin(3 * phi + r * 0.6);
    if (s > 0.75 && r > 2.5) return r > R - ring - 3 ? p.Col("portal.glow") : p.Col("portal.color");
    return p.Col("portal.core");
}

Rgb Portal(const Sources& src, double bx, double by) {
    auto c = PortalAt(src, bx, by);
    return c ? *c : PortalDark(src);
}


std::optional<Rgb> VehiclePixel(const Params& p, double u, double v) { return VehicleAt(p, u, v); }

void DrawSprites(const Sources& src, Figure& fig) {
    const Params& p = src.params;
    const Palette& pal = src.palette;

    fig.VehiPic.Reset(336, 21);
    fig.VmskPic.Reset(336, 21, kWhite);
    for (int h = 0; h < 16; ++h) {
        ShadeSprite(fig.VehiPic, fig.VmskPic, 21 * h, 0, 21, 21, VehicleShader(p, 22.5 * h, 10, 10, 1.0));
        Outline(fig.VehiPic, fig.VmskPic, 21 * h, 21, 21, p.Col("vehicle.outline"), {p.Col("vehicle.wheel")});
    }

    fig.RockPic.Reset(105, 21);
    fig.RmskPic.Reset(105, 21, kWhite);
    for (int f = 0; f < 5; ++f)
        ShadeSprite(fig.RockPic, fig.RmskPic, 21 * f, 0, 21, 21, [&, f](int x, int y) -> std::optional<Rgb> {
            const double dx = x - 10, dy = y - 10;
            if (f < 2) return RockAt(pal, dx, dy, f * kPi / 4, 8.2, 1);
            // Breaking up: the pieces fly apart and shrink.
            const int pieces = f == 2 ? 3 : f == 3 ? 5 : 7;
            const double dist = f == 2 ? 3.0 : f == 3 ? 5.5 : 7.5;
            const double size = f == 2 ? 4.6 : f == 3 ? 2.8 : 1.6;
            for (int i = 0; i < pieces; ++i) {
                const double a = 2 * kPi * i / pieces + 0.4 * f;
                const double cx = dist * std::cos(a), cy = dist * std::sin(a);
                if (auto c = RockAt(pal, dx - cx, dy - cy, a, size, 2 + i)) return c;
            }
            if (f == 4 && std::hypot(dx, dy) < 9 && Hash01(x, y, 90) > 0.9) return pal["grey"];
            return std::nullopt;
        });

    fig.PlanePic.Reset(82, 41);
    fig.PmaskPic.Reset(82, 41, kWhite);
    for (int f = 0; f < 2; ++f) {
        const double a = (f == 0 ? 45.0 : 135.0) * kPi / 180, ca = std::cos(a), sa = std::sin(a);
        ShadeSprite(fig.PlanePic, fig.PmaskPic, 41 * f, 0, 41, 41, [&](int x, int y) {
            const double dx = x - 20, dy = y - 20;
            return PlaneAt(pal, dx * ca + dy * sa, -dx * sa + dy * ca);
        });
        Outline(fig.PlanePic, fig.PmaskPic, 41 * f, 41, 41, pal["dgrey"], {pal["grey"]});
    }

    fig.BombPic.Reset(93, 31);
    fig.BmskPic.Reset(93, 31, kWhite);
    for (int f = 0; f < 3; ++f)
        ShadeSprite(fig.BombPic, fig.BmskPic, 31 * f, 0, 31, 31,
                    [&, f](int x, int y) { return BlastAt(pal, f, x - 15, y - 15); });

    fig.CrashPic.Reset(124, 31);
    fig.CmaskPic.Reset(124, 31, kWhite);
    for (int f = 0; f < 4; ++f)
        ShadeSprite(fig.CrashPic, fig.CmaskPic, 31 * f, 0, 31, 31,
                    [&, f](int x, int y) { return CrashAt(p, f, x - 15, y - 15); });

    fig.MarshPic.Reset(168, 21);
    fig.MmaskPic.Reset(21, 21, kWhite);
    Image discMasks(168, 21, kWhite);
    for (int f = 0; f < 8; ++f)
        ShadeSprite(fig.MarshPic, discMasks, 21 * f, 0, 21, 21, [&, f](int x, int y) { return DiscAt(pal, f, x - 10, y - 10); });
    BitBlt(fig.MmaskPic, 0, 0, 21, 21, discMasks, 0, 0, Rop::Copy);
    // One mask serves every disc frame: the disc outline is the same in all of them.
    for (int f = 0; f < 8; ++f)
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x)
                if (fig.MmaskPic.At(x, y) == kWhite) fig.MarshPic.Set(21 * f + x, y, kBlack);

    fig.FallPic.Reset(280, 40);
    fig.FmskPic.Reset(280, 40, kWhite);
    for (int v = 0; v < 7; ++v)
        ShadeSprite(fig.FallPic, fig.FmskPic, 40 * v, 0, 40, 40, [&, v](int x, int y) { return FallAt(p, v, x, y); });

    fig.WarpPic = MarkerFrames(src);

    fig.SidePic.Reset(20, 243);
    Shade(fig.SidePic, 0, 0, 20, 243, [&](int x, int y) { return std::optional<Rgb>(GirderAt(pal, y, x, 20)); });
    fig.TopbPic.Reset(81, 10);
    Shade(fig.TopbPic, 0, 0, 81, 10, [&](int x, int y) { return std::optional<Rgb>(GirderAt(pal, x, y, 10)); });
    fig.NookPic.Reset(80, 10);
    for (int f = 0; f < 4; ++f)
        Shade(fig.NookPic, 20 * f, 0, 20, 10, [&](int x, int y) -> std::optional<Rgb> {
            // Corner plates: black on the outer edges, bolted in the middle.
            const bool right = f == 1 || f == 3, bottom = f >= 2;
            const int ox = right ? 19 - x : x, oy = bottom ? 9 - y : y;
            if (ox == 0 || oy == 0) return pal["black"];
            if (ox == 1 || oy == 1 || x == (right ? 0 : 19) || y == (bottom ? 0 : 9)) return pal["grey"];
            const double r = std::hypot(x - 9.5, y - 4.5);
            if (r <= 1.6) return pal["lgrey"];
            if (r <= 2.6) return pal["grey"];
            return pal["dgrey"];
        });

    fig.TxtScore = Label(src, "SCORE");
    fig.TxtTotal = Label(src, "TOTAL");
    fig.TxtTime = Label(src, "TIME");
    fig.TxtNext = Label(src, "NEXT");
    fig.TxtDigit = Digits(src);
    fig.MsgText[0] = Message(src, 162, "GOAL", {"white", "yellow", "yellow", "yellow", "orange", "orange", "orange"});
    fig.MsgText[1] = Message(src, 324, "GAME OVER", {"yellow", "orange", "orange", "orange", "red", "red", "red"});
    fig.MsgText[2] = Message(src, 243, "TIME UP", {"white", "cyan", "cyan", "cyan", "cyan", "lgrey", "lgrey"});
    fig.MsgText[3] = Message(src, 162, "STOP", {"white", "lgrey", "lgrey", "lgrey", "red", "red", "red"});
    fig.TitlePic = Title(src, fig);
}

Image DrawIcon(const Sources& src, const Figure&) {
    const Params& p = src.params;
    const Palette& pal = src.palette;
    Image img(64, 64, pal["black"]);
    const auto car = VehicleShader(p, -45.0, 32, 32, 2.6);
    Shade(img, 0, 0, 64, 64, [&](int x, int y) -> std::optional<Rgb> {
        // Rounded square of grass, a diagonal track and the car on it.
        const int ex = std::min(x, 63 - x), ey = std::min(y, 63 - y);
        if (ex < 8 && ey < 8 && std::hypot(8 - ex - 0.5, 8 - ey - 0.5) > 8) return std::nullopt;
        if (auto c = car(x, y)) return c;
        const double d = (x - (63 - y)) / 1.41421356;  // across the track
        const double t = (x + (63 - y)) / 1.41421356;  // along it
        const double ad = std::abs(d);
        if (ad >= 8.5 && ad <= 11) return pal["lgrey"];
        if (ad <= 14 && std::fmod(t + 100, 9.0) < 4) return pal["brown"];
        if (ad <= 17) return Hash01(x, y, 3) < 0.2 ? pal["grey"] : pal["dgrey"];
        if (std::min(ex, ey) <= 1) return pal["yellow"];
        return Hash01(x, y, 4) < 0.06 ? pal["green"] : pal["dgreen"];
    });
    return img;
}

}  // namespace ralvo::art
