// Routes the window's events into the game.
#pragma once
#include "platform/platform.h"

namespace ralvo {
struct Game;

class GameEvents : public EventSink {
public:
    explicit GameEvents(Game& g) : g_(g) {}
    void OnMenuOpen(int topMenuId) override;
    void OnMenuCommand(int itemId) override;
    void OnBoardMouseDown(int button, double x, double y) override;
    void OnNextMouseDown(int button, double x, double y) override;
    void OnKeyDown(int keyCode) override;
    void OnGameTimer() override;
    void OnCloseRequest() override;

private:
    Game& g_;
};

}  // namespace ralvo
