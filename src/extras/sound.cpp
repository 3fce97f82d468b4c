#include "extras/sound.h"

#include "shell/errors.h"
#include "shell/state.h"

namespace ralvo {
namespace {

void Play(Game& g, const std::string& file, int16_t detail) {
    if ((g.OptSound & static_cast<int32_t>(g.SoundDevice)) == 0) return;
    if (!g.plat.PlayWave(file)) ErrorStop(g, 31, detail);
}

}  // namespace

void PlayCrash(Game& g) { Play(g, g.CrashFileName, 1); }
void PlayBomb(Game& g) { Play(g, g.BombFileName, 2); }
void PlaySplash(Game& g) { Play(g, g.SplashFileName, 3); }
void PlayClick(Game& g) { Play(g, g.ClickFileName, 4); }
void PlayGoal(Game& g) { Play(g, g.GoalFileName, 5); }

}  // namespace ralvo
