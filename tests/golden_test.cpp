// Whole pictures after real start-up and after a scripted stage start, compared with
// committed reference pictures. Set RALVO_UPDATE_GOLDEN=1 to rewrite the references
// after a deliberate change of the drawing or the picture store (then look at them).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/image.h"
#include "platform/script.h"
#include "shell/events.h"
#include "shell/lifecycle.h"
#include "shell/state.h"
#include "test_support.h"

namespace ralvo {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(RALVO_SOURCE_DIR) / "tests" / "golden";

void ExpectMatchesGolden(const Image& actual, const std::string& name) {
    const fs::path golden = kGoldenDir / (name + ".png");
    if (std::getenv("RALVO_UPDATE_GOLDEN")) {
        fs::create_directories(kGoldenDir);
        ASSERT_TRUE(SavePng(golden.string(), actual));
        return;
    }
    Image expected;
    ASSERT_TRUE(LoadPng(golden.string(), expected)) << "missing " << golden;
    if (actual == expected) return;
    const fs::path seen = fs::path(RALVO_BIN_DIR) / ("golden-actual-" + name + ".png");
    SavePng(seen.string(), actual);
    ADD_FAILURE() << name << " differs from " << golden << "; the picture drawn is in " << seen;
}

// Runs the real start-up and the given steps in a folder holding the committed data set.
struct RealGame {
    test::TempDir dir;
    HeadlessPlatform p;
    Game g{p};
    GameEvents events{g};

    explicit RealGame(const std::string& script) {
        for (const char* name : {"CELL.DAT", "PATH.DAT", "Ralvo.CFG"})
            fs::copy_file(fs::path(RALVO_BIN_DIR) / name, dir.file(name));
        g.AppDir = dir.str();
        g.SeedOverride = 7;
        g.OptSound = 0;
        p.SetEventSink(&events);
        auto parsed = ParseScript(script);
        EXPECT_TRUE(parsed.ok()) << parsed.error;
        p.LoadScript(std::move(parsed.steps));
        try {
            StartUp(g);
            MainLoop(g);
        } catch (const ProgramEnded&) {
        }
    }
};

TEST(Golden, StartUpWindow) {
    RealGame run("wait 10\n");
    ExpectMatchesGolden(run.g.BasePic, "startup-base");
    ExpectMatchesGolden(run.g.NextPic, "startup-next");
}

TEST(Golden, StageUnderWay) {
    // Seed 7 puts the start station at (5, 2), running south; a cell is laid below it
    // during the countdown, and the pictures are taken while the vehicle is under way.
    RealGame run("menu MenuStart\nwait 2000\nmouse board 1 465 293\nwait 3000\n");
    EXPECT_EQ(run.g.GameMode, 2);
    EXPECT_EQ(run.g.CurBoxY, 2) << "still in the start box";
    ExpectMatchesGolden(run.g.BasePic, "stage-base");
    ExpectMatchesGolden(run.g.NextPic, "stage-next");
}

}  // namespace
}  // namespace ralvo
