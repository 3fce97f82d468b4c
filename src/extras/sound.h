// The five sound effects.
#pragma once

namespace ralvo {
struct Game;

void PlayCrash(Game& g);
void PlaySplash(Game& g);
void PlayBomb(Game& g);
void PlayClick(Game& g);
void PlayGoal(Game& g);

}  // namespace ralvo
