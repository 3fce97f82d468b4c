// Shared fixtures for the configuration, options, layout and drawing tests:
// synthetic pictures, a scratch folder and configuration files built from rows.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/image.h"
#include "render/figure.h"

namespace ralvo::testing {

// Every picture is flat colour per frame: red = picture number, green = 0x40 + frame,
// blue = 0x80, so a pixel tells which picture and which frame landed there.
inline Rgb FrameColour(int picture, int frame) { return MakeRgb(picture, 0x40 + frame, 0x80); }

enum SyntheticPicture {
    kSide = 1, kTopb, kNook, kTxtScore, kTxtTotal, kTxtTime, kTxtNext, kTxtDigit, kWarp, kMarsh,
    kVehi, kRock, kPlane, kBomb, kCrash, kFall, kTitle, kMsg0, kMsg1, kMsg2, kMsg3,
    kCellBase = 100,  // CellPic(i) is picture kCellBase + i
};

inline Image Strip(int picture, int frameW, int frameH, int frames, bool vertical = false) {
    Image img(vertical ? frameW : frameW * frames, vertical ? frameH * frames : frameH);
    for (int f = 0; f < frames; ++f)
        FillRect(img, vertical ? 0 : f * frameW, vertical ? f * frameH : 0, frameW, frameH, FrameColour(picture, f));
    return img;
}

// A sprite strip: the frame colour in a centred square of side `core`, black around it.
inline Image SpriteStrip(int picture, int size, int frames, int core) {
    Image img(size * frames, size, kBlack);
    const int m = (size - core) / 2;
    for (int f = 0; f < frames; ++f) FillRect(img, f * size + m, m, core, core, FrameColour(picture, f));
    return img;
}

// Its mask: black where the sprite is, white elsewhere.
inline Image MaskStrip(int size, int frames, int core) {
    Image img(size * frames, size, kWhite);
    const int m = (size - core) / 2;
    for (int f = 0; f < frames; ++f) FillRect(img, f * size + m, m, core, core, kBlack);
    return img;
}

inline int CellFrames(int picture) {
    for (int p : {8, 15, 16, 19, 22, 38})
        if (p == picture) return 2;
    for (int p : {5, 10, 24, 33, 42})
        if (p == picture) return 1;
    return 4;
}

inline void FillSyntheticFigure(Figure& fig) {
    for (int i = 1; i <= 50; ++i) fig.CellPic[i] = Strip(kCellBase + i, 81, 81, CellFrames(i));
    fig.VehiPic = SpriteStrip(kVehi, 21, 16, 11);
    fig.VmskPic = MaskStrip(21, 16, 11);
    fig.RockPic = SpriteStrip(kRock, 21, 5, 11);
    fig.RmskPic = MaskStrip(21, 5, 11);
    fig.PlanePic = SpriteStrip(kPlane, 41, 2, 21);
    fig.PmaskPic = MaskStrip(41, 2, 21);
    fig.BombPic = SpriteStrip(kBomb, 31, 3, 15);
    fig.BmskPic = MaskStrip(31, 3, 15);
    fig.CrashPic = SpriteStrip(kCrash, 31, 4, 15);
    fig.CmaskPic = MaskStrip(31, 4, 15);
    fig.MarshPic = SpriteStrip(kMarsh, 21, 8, 11);
    fig.MmaskPic = MaskStrip(21, 1, 11);
    fig.FallPic = SpriteStrip(kFall, 40, 7, 20);
    fig.FmskPic = MaskStrip(40, 7, 20);
    fig.WarpPic = Strip(kWarp, 23, 23, 11);
    fig.SidePic = Strip(kSide, 20, 81, 3, true);
    fig.TopbPic = Strip(kTopb, 81, 10, 1);
    fig.NookPic = Strip(kNook, 20, 10, 4);
    fig.TxtScore = Strip(kTxtScore, 81, 27, 1);
    fig.TxtTotal = Strip(kTxtTotal, 81, 27, 1);
    fig.TxtTime = Strip(kTxtTime, 81, 27, 1);
    fig.TxtNext = Strip(kTxtNext, 81, 27, 1);
    fig.TxtDigit = Strip(kTxtDigit, 18, 27, 12);
    fig.MsgText[0] = Strip(kMsg0, 162, 81, 1);
    fig.MsgText[1] = Strip(kMsg1, 324, 81, 1);
    fig.MsgText[2] = Strip(kMsg2, 243, 81, 1);
    fig.MsgText[3] = Strip(kMsg3, 162, 81, 1);
    fig.TitlePic = Strip(kTitle, 240, 120, 1);
}

// A fresh folder under the system's temporary directory, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ralvo-render-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string File(const std::string& name) const { return path_ + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }

private:
    std::string path_;
};

// The check value of a line holding these values.
inline int LineCheck(const std::vector<int>& values) {
    int sum = 0;
    for (int v : values) sum += v;
    return sum % 255 + 127;
}

inline std::string JoinLine(const std::vector<int>& values, int check) {
    std::string s;
    for (int v : values) s += std::to_string(v) + ",";
    return s + std::to_string(check);
}

// The lines of a configuration file, each with the check value the file check adds up.
// The file check is computed from the keys a reader reaches (each group up to its first gap).
class ConfigFile {
public:
    // A small sound data set: two stage rows (from stage 5, from stage 0), three skills,
    // three screen sizes, two speed bands and twelve cells.
    static ConfigFile Standard() {
        ConfigFile c;
        c.Set("Stage00", {5, 400, 90, 500, 20, 60, 20, 3, 15, 6, 12, 6});
        c.Set("Stage01", {0, 500, 120, 300, 10, 50, 30, 4, 20, 8, 10, 5});
        c.Set("Skill00", {0, 120, 120, 80, 100, 80, 150, 150, 150, 50, 80, 80});
        c.Set("Skill01", {0, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100});
        c.Set("Skill02", {0, 80, 80, 120, 100, 120, 60, 60, 60, 250, 120, 120});
        c.Set("Screen00", {800, 600, 8, 6, 100, 50, 100, 100});
        c.Set("Screen01", {1024, 768, 10, 8, 120, 100, 100, 100});
        c.Set("Screen02", {1280, 1024, 13, 11, 150, 150, 100, 100});
        c.Set("Speed00", {200, 4, 2, 1, 1});
        c.Set("Speed01", {0, 2, 1, 1, 1});
        for (int i = 1; i <= 12; ++i) c.Set(CellKey(i), {10 + i, i % 3 - 1});
        return c;
    }
    static std::string CellKey(int i) { return "Cell" + std::string(i < 10 ? "0" : "") + std::to_string(i); }

    void Set(const std::string& key, const std::vector<int>& values) {
        const int check = LineCheck(values);
        SetRaw(key, JoinLine(values, check), check);
    }
    void SetRaw(const std::string& key, const std::string& text, int check) { lines_[key] = {text, check}; }
    void Remove(const std::string& key) { lines_.erase(key); }
    // Replaces the computed file check.
    void SetCheck(const std::string& text) { check_ = text; }
    void RemoveCheck() { noCheck_ = true; }

    std::string Text() const {
        std::string out = "[Config]\r\n";
        for (const auto& [key, line] : lines_) out += key + "=" + line.first + "\r\n";
        if (!noCheck_) out += "Check=" + (check_.empty() ? std::to_string(FileCheck()) : check_) + "\r\n";
        return out;
    }

private:
    int FileCheck() const {
        int sum = 0;
        auto group = [&](const std::string& name, int first, int last) {
            for (int i = first; i <= last; ++i) {
                const std::string key = name + (i < 10 ? "0" : "") + std::to_string(i);
                const auto it = lines_.find(key);
                if (it == lines_.end()) break;
                sum += it->second.second;
            }
        };
        group("Stage", 0, 9);
        group("Skill", 0, 2);
        group("Screen", 0, 9);
        group("Speed", 0, 9);
        group("Cell", 1, 100);
        return sum % 255 + 127;
    }

    std::map<std::string, std::pair<std::string, int>> lines_;
    std::string check_;
    bool noCheck_ = false;
};

}  // namespace ralvo::testing
