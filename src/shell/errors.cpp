#include "shell/errors.h"

#include "extras/dump.h"
#include "shell/lifecycle.h"
#include "shell/state.h"

namespace ralvo {

std::string ErrorMessage(int16_t err, int16_t cod) {
    const std::string detail = std::to_string(cod);
    switch (err) {
        case 1: return "パス番号エラー " + detail;
        case 2: return "セル番号エラー " + detail;
        case 9: return "内部ロジックエラー " + detail;
        case 11: return "CreateSolidBrush エラー ";
        case 12: return "SelectObject エラー ";
        case 13: return "DeleteObject エラー ";
        case 14: return "CreatePen エラー ";
        case 15: return "SetRop2 エラー ";
        case 16: return "Rectangle エラー ";
        case 21: return "構成ファイルエラー " + detail;
        case 31: return "サウンドエラー " + detail;
        default: return "予期しないエラー ";
    }
}

void ErrorStop(Game& g, int16_t err, const int16_t& cod) {
    if (err == 31 && g.OptSkipSoundError != 0) return;
    const std::string message = ErrorMessage(err, cod);
    // The dump shows the state the error was found in, so take it before anything changes.
    std::vector<std::string> dump;
    if (err == 9) dump = DumpLines(g, message);
    // Halt the clocks: the box runs its own event loop, and a timer tick must not
    // carry on a game whose state is already known to be broken.
    g.MoveTimer_Enabled = kFalse;
    g.plat.SetGameTimer(false);
    g.plat.MessageBox(message, kBaseName, kMsgCritical);
    if (err == 9) AppendDump(g, dump);
    EndProgram(g, 1);
}

void DataFileError(Game& g, const std::string& message) {
    g.plat.MessageBox(message, kBaseName, kMsgCritical);
    EndProgram(g, 1);
}

}  // namespace ralvo
