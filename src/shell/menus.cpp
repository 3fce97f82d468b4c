#include "shell/menus.h"

namespace ralvo {

const std::vector<MenuItemDef>& MenuTree() {
    static const std::vector<MenuItemDef> tree = {
        {MenuGame, -1, "MenuGame", "ゲーム(&F)", ""},
        {MenuStart, MenuGame, "MenuStart", "スタート(&G)", "Ctrl+G"},
        {MenuStop, MenuGame, "MenuStop", "ストップ(&S)", "Ctrl+S"},
        {MenuBar11, MenuGame, "MenuBar11", "-", ""},
        {MenuSkill0, MenuGame, "MenuSkill(0)", "初級", ""},
        {MenuSkill1, MenuGame, "MenuSkill(1)", "中級", ""},
        {MenuSkill2, MenuGame, "MenuSkill(2)", "上級", ""},
        {MenuBar15, MenuGame, "MenuBar15", "-", ""},
        {MenuScore, MenuGame, "MenuScore", "スコア", ""},
        {MenuBar16, MenuGame, "MenuBar16", "-", ""},
        {MenuExit, MenuGame, "MenuExit", "おわり(&E)", "Ctrl+E"},
        {MenuSetup, -1, "MenuSetup", "セットアップ", ""},
        {MenuSound, MenuSetup, "MenuSound", "サウンド", ""},
        {MenuBar21, MenuSetup, "MenuBar21", "-", ""},
        {MenuUseKey, MenuSetup, "MenuUseKey", "矢印キーを使う", ""},
        {MenuBar22, MenuSetup, "MenuBar22", "-", ""},
        {MenuRhtClickIgnore, MenuSetup, "MenuRhtClickIgnore", "右クリックを無視", ""},
        {MenuRhtClickSpurt, MenuSetup, "MenuRhtClickSpurt", "右クリックでスパート", ""},
        {MenuRhtClickFlight0, MenuSetup, "MenuRhtClickFlight(0)", "右クリックで右飛行（対角）", ""},
        {MenuRhtClickFlight1, MenuSetup, "MenuRhtClickFlight(1)", "右クリックで左飛行（対角）", ""},
        {MenuRhtClickFlight2, MenuSetup, "MenuRhtClickFlight(2)", "右クリックで右飛行（境界）", ""},
        {MenuRhtClickFlight3, MenuSetup, "MenuRhtClickFlight(3)", "右クリックで左飛行（境界）", ""},
        {MenuResize, -1, "MenuResize", "サイズ", ""},
        {MenuSize0, MenuResize, "MenuSize(0)", "", ""},
        {MenuSize1, MenuResize, "MenuSize(1)", "", ""},
        {MenuSize2, MenuResize, "MenuSize(2)", "", ""},
        {MenuSize3, MenuResize, "MenuSize(3)", "", ""},
        {MenuSize4, MenuResize, "MenuSize(4)", "", ""},
        {MenuHelp, -1, "MenuHelp", "ヘルプ", ""},
        {MenuHowto, MenuHelp, "MenuHowto", "あそびかた(&P)", ""},
        {MenuAbout, MenuHelp, "MenuAbout", "バージョン情報(&A)", ""},
        {MenuDebug, -1, "MenuDebug", "デバッグ", ""},
        {MenuDebugFlight, MenuDebug, "MenuDebugFlight", "飛行機", ""},
        {MenuDebugRock, MenuDebug, "MenuDebugRock", "転がる岩", ""},
        {MenuDebugTimeUp, MenuDebug, "MenuDebugTimeUp", "タイムアップ", ""},
        {MenuDebugThatGame, MenuDebug, "MenuDebugThatGame", "指定ゲーム", ""},
        {MenuDumpAll, MenuDebug, "MenuDumpAll", "変数ダンプ", ""},
    };
    return tree;
}

int MenuIdFromName(const std::string& name, int index) {
    const std::string key = index >= 0 ? name + "(" + std::to_string(index) + ")" : name;
    for (const auto& item : MenuTree())
        if (item.name == key) return item.id;
    return -1;
}

std::string MenuScriptName(int id) {
    for (const auto& item : MenuTree())
        if (item.id == id) return item.name;
    return "?";
}

}  // namespace ralvo
