// Cell pictures: the rails are drawn along the very dots of each cell's paths, so that what the
// player sees and where the vehicle runs always agree.
#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "art.h"
#include "art_shapes.h"

namespace ralvo::art {
namespace {

constexpr int kStart = 4, kHole = 33, kWarp = 30, kGoal = 46;
constexpr float kFar = std::numeric_limits<float>::infinity();

// Signed distance from the path's centre line (positive to the right of the direction of travel)
// and arc length along it, for every pixel of the box; kFar where the pixel lies beyond either end.
struct Field {
    std::vector<float> d, t;
    std::vector<std::pair<float, uint8_t>> events;  // (arc length, flag) of dots with an event
    float length = 0;
    bool deadEnd = false;
};

Field ComputeField(const PathRec& path, int r) {
    Field f;
    f.d.assign(81 * 81, kFar);
    f.t.assign(81 * 81, 0);
    f.deadEnd = path.PathDir == -1;
    const int n = std::clamp<int>(path.PathLen, 0, kMaxDots);
    std::vector<double> xs, ys, cum;
    for (int i = 0; i < n; ++i) {
        const DotRec d = Rotate(path.Dot[i], r);
        if (!xs.empty()) {
            const double l = std::hypot(d.Xx - xs.back(), d.Yy - ys.back());
            cum.push_back(cum.back() + l);
        } else {
            cum.push_back(0);
        }
        xs.push_back(d.Xx);
        ys.push_back(d.Yy);
        if (path.Dot[i].Flag) f.events.push_back({static_cast<float>(cum.back()), path.Dot[i].Flag});
    }
    if (xs.size() < 2) return f;
    f.length = static_cast<float>(cum.back());
    // First and last segments of non-zero length: beyond them the track ends square.
    size_t first = 0, last = xs.size() - 2;
    while (first < last && xs[first] == xs[first + 1] && ys[first] == ys[first + 1]) ++first;
    while (last > first && xs[last] == xs[last + 1] && ys[last] == ys[last + 1]) --last;
    auto beyond = [&](size_t i, double x, double y, bool atStart) {
        const double bx = xs[i + 1] - xs[i], by = ys[i + 1] - ys[i];
        const double u = ((x - xs[i]) * bx + (y - ys[i]) * by) / (bx * bx + by * by);
        return atStart ? u < 0 : u > 1;
    };
    for (int y = 0; y < 81; ++y)
        for (int x = 0; x < 81; ++x) {
            double best = 1e9, bestSigned = 0, bestT = 0;
            for (size_t i = first; i <= last; ++i) {
                const double ax = xs[i], ay = ys[i], bx = xs[i + 1] - ax, by = ys[i + 1] - ay;
                const double l2 = bx * bx + by * by;
                if (l2 == 0) continue;
                const double u = std::clamp(((x - ax) * bx + (y - ay) * by) / l2, 0.0, 1.0);
                const double px = ax + u * bx - x, py = ay + u * by - y;
                const double dist = std::hypot(px, py);
                if (dist < best) {
                    best = dist;
                    const double cross = bx * (y - ay) - by * (x - ax);
                    bestSigned = cross >= 0 ? dist : -dist;
                    bestT = cum[i] + u * std::sqrt(l2);
                }
            }
            const double toStart = std::hypot(x - xs[first], y - ys[first]);
            const double toEnd = std::hypot(x - xs[last + 1], y - ys[last + 1]);
            if (best >= 1e9) continue;
            if (toStart <= best + 1e-9 && beyond(first, x, y, true)) continue;
            if (toEnd <= best + 1e-9 && beyond(last, x, y, false)) continue;
            f.d[y * 81 + x] = static_cast<float>(bestSigned);
            f.t[y * 81 + x] = static_cast<float>(bestT);
        }
    return f;
}

class CellPainter {
public:
    CellPainter(const Sources& src, const TrackData& data) : src_(src), p_(src.params), pal_(src.palette), data_(data) {}

    Image Frame(int picture, int frame) {
        Image img(81, 81, pal_["black"]);
        const CellRec* cell = CellForPicture(data_, picture);
        const int attr = cell ? cell->Cellattr : 0;
        // Marsh curves carry no marsh bit (only the straights need it), but they are marsh all the same.
        int ground = attr;
        if (cell)
            for (const auto& side : cell->PathType)
                for (int id : side)
                    if (id == 14 || id == 15 || id == 16 || id == 14 + kFilePaths || id == 15 + kFilePaths ||
                        id == 16 + kFilePaths)
                        ground |= kAttrMarshEW;
        // Ground, looked up in the unrotated cell so that it turns with the cell.
        Shade(img, 0, 0, 81, 81, [&](int x, int y) -> std::optional<Rgb> {
            DotRec back{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0, 0};
            back = Rotate(back, (4 - frame) % 4);
            return Ground(ground, back.Xx, back.Yy);
        });
        if (!cell) return WithGrid(img);

        // Every path of the unrotated cell entered at side s shows turned by s + frame.
        std::vector<const Field*> fields;
        std::set<std::pair<int, int>> seen;
        const Field* startField = nullptr;
        for (int s = 0; s < 4; ++s)
            for (int j = 0; j < 4; ++j) {
                int id = cell->PathType[s][j];
                if (id > kFilePaths) id -= kFilePaths;  // a dead-end twin runs the same track
                if (!data_.PathValid(id)) continue;
                const int r = (s + frame) % 4;
                const Field& f = FieldFor(id, r);
                if (seen.insert({id, r}).second) fields.push_back(&f);
                if ((attr & kAttrStart) && s == 0 && j == 0) startField = &f;
            }

        if (startField) Station(img, *startField);
        Layer(img, fields, [&](const Field& f, int i, int x, int y) -> std::optional<Rgb> {
            if (std::abs(f.d[i]) > p_.Num("track.ballast.halfwidth")) return std::nullopt;
            return Hash01(x, y, 77) < p_.Num("track.ballast.speckles") ? p_.Col("track.ballast.speckle")
                                                                         : p_.Col("track.ballast.color");
        });
        Layer(img, fields, [&](const Field& f, int i, int, int) -> std::optional<Rgb> {
            if (std::abs(f.d[i]) > p_.Num("track.sleeper.halfwidth")) return std::nullopt;
            if (std::fmod(f.t[i] + 1.0, p_.Num("track.sleeper.pitch")) >= p_.Num("track.sleeper.length")) return std::nullopt;
            return p_.Col("track.sleeper.color");
        });
        Layer(img, fields, [&](const Field& f, int i, int, int) -> std::optional<Rgb> {
            const double a = std::abs(f.d[i]);
            if (a < p_.Num("track.rail.inner") || a >= p_.Num("track.rail.outer")) return std::nullopt;
            return a < p_.Num("track.rail.inner") + 1.0 ? p_.Col("track.rail.shine") : p_.Col("track.rail.color");
        });
        for (const Field* f : fields) Events(img, *f);

        if (attr & kAttrTurntable) Turntable(img);
        if (picture == kHole) Hole(img);
        if (picture == kGoal) GoalPlaza(img);
        if ((attr & (kAttrWarpA | kAttrWarpB)) || picture == kWarp) Portal(img);
        if (attr & kAttrMarker) Plate(img);
        return WithGrid(img);
    }

private:
    const Field& FieldFor(int id, int r) {
        auto key = std::make_pair(id, r);
        auto it = cache_.find(key);
        if (it == cache_.end()) it = cache_.emplace(key, ComputeField(data_.paths[id], r)).first;
        return it->second;
    }

    std::optional<Rgb> Ground(int attr, int x, int y) const {
        if (attr & kAttrFixed) {
            // Riveted steel plate: a fixed cell cannot be built over.
            const int mx = (x + 13) % 27, my = (y + 13) % 27;
            if (mx == 0 || my == 0) return p_.Col("fixed.seam");
            if ((mx == 3 || mx == 24) && (my == 3 || my == 24)) return p_.Col("fixed.rivet");
            return p_.Col("fixed.color");
        }
        if (attr & (kAttrMarshEW | kAttrMarshNS)) {
            const double scale = p_.Num("marsh.scale");
            const double n = 0.65 * ValueNoise(x, y, scale, 501) + 0.35 * ValueNoise(x, y, scale / 2.3, 502);
            if (n > p_.Num("marsh.water.level")) {
                if (std::sin(x * 0.9 + y * 0.3 + 6 * n) > 0.9) return p_.Col("marsh.ripple");
                return p_.Col("marsh.water");
            }
            if (Hash01(x, y / 3, 503) > 0.95) return p_.Col("marsh.reed");
            if (Hash01(x, y, 504) > 0.96) return pal_["brown"];
            return p_.Col("marsh.color");
        }
        return Hash01(x, y, 505) < p_.Num("ground.speckles") ? p_.Col("ground.speckle") : p_.Col("ground.color");
    }

    // Paints one layer of every path, so that rails lie over the sleepers of crossing tracks.
    void Layer(Image& img, const std::vector<const Field*>& fields,
               const std::function<std::optional<Rgb>(const Field&, int, int, int)>& f) {
        for (const Field* fl : fields)
            for (int y = 0; y < 81; ++y)
                for (int x = 0; x < 81; ++x) {
                    const int i = y * 81 + x;
                    if (fl->d[i] == kFar) continue;
                    if (auto c = f(*fl, i, x, y)) img.Set(x, y, *c);
                }
    }

    void Events(Image& img, const Field& f) {
        for (auto [t, flag] : f.events) {
            if (flag == 1 || flag == 9) {
                // Buffer stop where the run ends in a crash.
                Shade(img, 0, 0, 81, 81, [&](int x, int y) -> std::optional<Rgb> {
                    const int i = y * 81 + x;
                    if (f.d[i] == kFar || std::abs(f.t[i] - t) > 1.6 || std::abs(f.d[i]) > 8.5) return std::nullopt;
                    return static_cast<int>(std::floor((f.d[i] + 20) / 3)) % 2 ? pal_["white"] : p_.Col("track.buffer.color");
                });
            }
        }
    }

    void GoalPlaza(Image& img) {
        // A chequered turning circle where every goal run ends, and the flag in the corner.
        const double off = p_.Num("goal.flag.offset");
        Shade(img, 0, 0, 81, 81, [&](int x, int y) -> std::optional<Rgb> {
            const double r = std::hypot(x - 40, y - 40);
            if (r <= 12.5) {
                if (r > 11.3) return pal_["yellow"];
                return ((x - 40 + 60) / 4 + (y - 40 + 60) / 4) % 2 ? pal_["white"] : pal_["black"];
            }
            const int fx = 80 - static_cast<int>(off) - 6, fy = 6;  // top of the pole
            if (x >= fx && x <= fx + 1 && y >= fy && y <= fy + 24) return pal_["lgrey"];
            if (x > fx + 1 && x <= fx + 14 && y >= fy && y <= fy + 9)
                return ((x - fx - 2) / 3 + (y - fy) / 3) % 2 ? pal_["white"] : pal_["red"];
            if (x >= fx - 1 && x <= fx + 2 && y >= fy + 24 && y <= fy + 25) return pal_["dgrey"];
            return std::nullopt;
        });
    }

    void Station(Image& img, const Field& f) {
        const double pn = p_.Num("station.platform.near"), pf = p_.Num("station.platform.far");
        const double rn = p_.Num("station.roof.near"), rf = p_.Num("station.roof.far");
        const double mid = f.length / 2;
        Shade(img, 0, 0, 81, 81, [&](int x, int y) -> std::optional<Rgb> {
            const int i = y * 81 + x;
            if (f.d[i] == kFar) return std::nullopt;
            const double d = -f.d[i], t = f.t[i];  // the station stands on the left of the start run
            if (d >= pn && d <= pf) {
                if (d < pn + 1.5) return p_.Col("station.platform.edge");
                return Hash01(static_cast<int>(t / 4), static_cast<int>(d / 4), 601) > 0.8 ? pal_["grey"] : p_.Col("station.platform.color");
            }
            if (d > rn - 1 && d <= rf && std::abs(t - mid) <= 22) {
                if (d <= rn || d > rf - 1 || std::abs(t - mid) > 21) return pal_["dbrown"];
                const double ridge = (rn + rf) / 2;
                if (std::abs(d - ridge) < 1.0) return p_.Col("station.roof.ridge");
                // Roof tiles.
                if (static_cast<int>(std::floor(t)) % 4 == 0) return pal_["dbrown"];
                return p_.Col("station.roof.color");
            }
            return std::nullopt;
        });
    }

    void Turntable(Image& img) {
        const double R = p_.Num("turntable.radius"), rim = p_.Num("turntable.rim");
        Shade(img, 0, 0, 81, 81, [&](int x, int y) -> std::optional<Rgb> {
            const double r = std::hypot(x - 40, y - 40);
            if (r > R) return std::nullopt;
            if (r > R - rim) return p_.Col("turntable.edge");
            // The rails run into the pit wall; inside it, the pit floor until the disc is drawn.
            if (r > 10.5) return img.At(x, y) == p_.Col("track.rail.color") || img.At(x, y) == p_.Col("track.rail.shine")
                                     ? std::optional<Rgb>(pal_["grey"]) : std::optional<Rgb>(p_.Col("turntable.pit"));
            return p_.Col("turntable.pit");
        });
    }

    void Hole(Image& img) {
        const double R = p_.Num("hole.radius"), rim = p_.Num("hole.rim");
        Shade(img, 0, 0, 81, 81, [&](int x, int y) -> std::optional<Rgb> {
            const double phi = std::atan2(y - 40, x - 40);
            const double r = std::hypot(x - 40, y - 40) - 1.5 * std::sin(5 * phi) - 1.0 * std::cos(3 * phi + 1);
            if (r > R + rim) return std::nullopt;
            if (r > R) return Hash01(x, y, 701) > 0.6 ? pal_["brown"] : pal_["dbrown"];
            // Darkness with the far wall lit a little.
            if (r > R - 2.5 && y > 40) return pal_["dbrown"];
            return pal_["black"];
        });
    }

    void Portal(Image& img) {
        Shade(img, 0, 0, 81, 81, [&](int x, int y) { return PortalAt(src_, x, y); });
    }

    void Plate(Image& img) {
        // The marker (a bridge deck) covers the middle 23 x 23 pixels; a dark rim around it is its shadow.
        Shade(img, 29, 29, 25, 25, [&](int x, int y) -> std::optional<Rgb> {
            if (x == 0 || y == 0 || x == 24 || y == 24) return pal_["black"];
            return std::nullopt;
        });
    }

    Image WithGrid(Image img) {
        for (int i = 0; i < 81; ++i) {
            img.Set(i, 0, p_.Col("grid.color"));
            img.Set(0, i, p_.Col("grid.color"));
        }
        return img;
    }

    const Sources& src_;
    const Params& p_;
    const Palette& pal_;
    const TrackData& data_;
    std::map<std::pair<int, int>, Field> cache_;
};

}  // namespace

int CellFrameCount(int n) {
    if (n <= 0 || n > 50) return 0;
    for (int k : {8, 15, 16, 19, 22, 38})
        if (n == k) return 2;
    for (int k : {5, 10, 24, 33, 42})
        if (n == k) return 1;
    return 4;
}

const CellRec* CellForPicture(const TrackData& data, int picture) {
    if (data.CellValid(picture) && data.cells[picture].CellId == picture) return &data.cells[picture];
    for (int id = 1; id <= kFileCells; ++id)
        if (data.CellValid(id) && data.cells[id].CellId == picture) return &data.cells[id];
    return nullptr;
}

Image DrawCellFrame(const Sources& src, const TrackData& data, int picture, int frame) {
    CellPainter painter(src, data);
    return painter.Frame(picture, frame);
}

void DrawCells(const Sources& src, const TrackData& data, Figure& fig) {
    CellPainter painter(src, data);
    fig.CellPic[0] = Image();
    for (int n = 1; n <= 50; ++n) {
        const int frames = CellFrameCount(n);
        fig.CellPic[n].Reset(81 * frames, 81);
        for (int k = 0; k < frames; ++k) BitBlt(fig.CellPic[n], 81 * k, 0, 81, 81, painter.Frame(n, k), 0, 0, Rop::Copy);
    }
}

}  // namespace ralvo::art
