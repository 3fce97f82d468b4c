#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "art.h"

namespace ralvo::art {
namespace {

const std::string kRoot = RALVO_SOURCE_DIR;

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ArtGenerator, RegeneratesCommittedFilesByteForByte) {
    const auto data = LoadTrackData(kRoot + "/assets");
    if (!data) GTEST_SKIP() << "no CELL.DAT/PATH.DAT in assets/";
    const auto files = GenerateAll(kRoot + "/dataset/art", data);
    ASSERT_FALSE(files.empty());
    for (const auto& f : files) {
        SCOPED_TRACE(f.path);
        const auto committed = ReadAll(kRoot + "/" + f.path);
        ASSERT_FALSE(committed.empty()) << "not committed";
        EXPECT_TRUE(committed == f.bytes) << "differs from a fresh run of ralvo-art";
    }
}

// One cell whose single path runs from the east side to the centre and on to the south side.
TrackData BentFixture() {
    TrackData d;
    PathRec& p = d.paths[1];
    p.PathHdr = kPathMagic;
    p.PathDir = 3;
    int n = 0;
    for (int x = 80; x > 40; --x) p.Dot[n++] = DotRec{static_cast<uint8_t>(x), 40, 8, 0};
    for (int y = 40; y <= 80; ++y) p.Dot[n++] = DotRec{40, static_cast<uint8_t>(y), 4, 0};
    p.PathLen = static_cast<int16_t>(n);
    p.PathMid = static_cast<int16_t>(n / 2);
    CellRec& c = d.cells[1];
    c.CellHdr = kCellMagic;
    c.CellId = 1;
    c.PathType[0][0] = 1;
    return d;
}

TEST(ArtGenerator, RailsFollowTheDotsInEveryRotationFrame) {
    const Sources src = LoadSources(kRoot + "/dataset/art");
    const TrackData data = BentFixture();
    const Rgb ground = src.params.Col("ground.color"), speckle = src.params.Col("ground.speckle");
    auto isTrack = [&](const Image& img, int x, int y) {
        // Any pixel of the ballast bed within two pixels counts: sleepers leave gaps in between.
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const Rgb c = img.At(x + dx, y + dy);
                if (c != ground && c != speckle) return true;
            }
        return false;
    };
    // Arm midpoints of the canonical bend (east arm, south arm) and the two arms it lacks.
    struct Probe {
        int x, y;
    };
    const Probe east{62, 40}, south{40, 62}, west{18, 40}, north{40, 18};
    // Turning a quarter clockwise takes east to south, south to west, west to north, north to east.
    const std::vector<std::pair<std::vector<Probe>, std::vector<Probe>>> expect = {
        {{east, south}, {west, north}},
        {{south, west}, {north, east}},
        {{west, north}, {east, south}},
        {{north, east}, {south, west}},
    };
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE("frame " + std::to_string(k));
        const Image img = DrawCellFrame(src, data, 1, k);
        for (const Probe& p : expect[k].first) EXPECT_TRUE(isTrack(img, p.x, p.y)) << p.x << "," << p.y;
        for (const Probe& p : expect[k].second) EXPECT_FALSE(isTrack(img, p.x, p.y)) << p.x << "," << p.y;
        // The box grid stays on the left and top edge whatever the rotation.
        EXPECT_EQ(img.At(0, 50), src.params.Col("grid.color"));
        EXPECT_EQ(img.At(50, 0), src.params.Col("grid.color"));
        EXPECT_NE(img.At(80, 50), src.params.Col("grid.color"));
    }
}

TEST(ArtGenerator, EveryDotOfTheDataSetLiesOnDrawnTrack) {
    const auto data = LoadTrackData(kRoot + "/assets");
    if (!data) GTEST_SKIP() << "no CELL.DAT/PATH.DAT in assets/";
    const Sources src = LoadSources(kRoot + "/dataset/art");
    // Colours that only the bare ground uses (the ripple colour is shared with the portal's glow).
    const std::set<Rgb> ground = {src.params.Col("ground.color"), src.params.Col("ground.speckle"),
                                  src.params.Col("marsh.color"), src.params.Col("marsh.water"),
                                  src.params.Col("marsh.reed")};
    for (int n = 1; n <= 50; ++n) {
        const CellRec* cell = CellForPicture(*data, n);
        if (!cell) continue;
        for (int k = 0; k < CellFrameCount(n); ++k) {
            const Image img = DrawCellFrame(src, *data, n, k);
            for (int s = 0; s < 4; ++s)
                for (int j = 0; j < 4; ++j) {
                    const int id = cell->PathType[s][j];
                    if (!data->PathValid(id)) continue;
                    const PathRec& p = data->paths[id];
                    for (int i = 0; i < p.PathLen; ++i) {
                        const DotRec d = Rotate(p.Dot[i], (s + k) % 4);
                        ASSERT_EQ(ground.count(img.At(d.Xx, d.Yy)), 0u)
                            << "picture " << n << " frame " << k << " path " << id << " dot " << i;
                    }
                }
        }
    }
}

TEST(ArtGenerator, SoundsAreShortAndDoNotClip) {
    const auto waves = SynthesiseSounds(kRoot + "/dataset/art/sounds.txt");
    std::set<std::string> names;
    for (const Wave& w : waves) {
        names.insert(w.name);
        EXPECT_LT(w.samples.size(), 22050u * 3 / 2) << w.name;
        int peak = 0;
        for (int16_t s : w.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_LT(peak, 32000) << w.name;
        EXPECT_GT(peak, 8000) << w.name;
    }
    EXPECT_EQ(names, (std::set<std::string>{"Click", "Crash", "Bomb", "Splash", "Goal"}));
}

}  // namespace
}  // namespace ralvo::art
