#include "data/config.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "data/rounding.h"
#include "platform/profile.h"
#include "shell/errors.h"
#include "shell/state.h"

namespace ralvo {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A value from_chars could not hold: tiny ones are 0, the rest are infinitely large,
// told apart by the decimal position of the first significant digit.
double OutOfRangeValue(const std::string& mantissa, long long exponent, bool negative) {
    const size_t point = mantissa.find('.');
    const size_t intDigits = point == std::string::npos ? mantissa.size() : point;
    long long firstPower = 0;
    bool found = false;
    for (size_t k = 0; k < mantissa.size() && !found; ++k) {
        if (mantissa[k] == '.' || mantissa[k] == '0') continue;
        firstPower = k < intDigits ? static_cast<long long>(intDigits - k - 1)
                                   : -static_cast<long long>(k - intDigits);
        found = true;
    }
    if (!found || firstPower + exponent < 0) return 0.0;
    return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    const size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// Stops with the configuration file error. ErrorStop does not come back for it;
// the false result lets the reader leave at once should it ever do so.
bool Fail(Game& g, int detail) {
    const int16_t cod = static_cast<int16_t>(detail);
    ErrorStop(g, 21, cod);
    return false;
}

struct GroupSpec {
    const char* name;
    int first;       // first row number (0, or 1 for cells)
    int last;        // last row number
    int values;      // values per line
    int checkBase;   // detail of a failed check is checkBase + row number
};

// Reads the group's keys up to the first missing one. Returns false after an error.
bool ReadGroup(Game& g, const GroupSpec& spec, ParamRow* rows, int& count, int32_t& checkSum) {
    count = 0;
    for (int i = spec.first; i <= spec.last; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "%s%02d", spec.name, i);
        const std::string text = Trim(GetPrivateProfileString("Config", key, "EOL", g.CfgFileName));
        if (text == "EOL") break;
        ParamRow& row = rows[i];
        switch (ReadParamLine(text, row, spec.values)) {
            case ParamLineStatus::Good:
                break;
            case ParamLineStatus::BadCheck:
                return Fail(g, spec.checkBase + i);
            case ParamLineStatus::OutOfRange:
                return Fail(g, kCfgUnusableValue + spec.checkBase + i);
        }
        checkSum += row[spec.values];
        count = i - spec.first + 1;
    }
    return true;
}

}  // namespace

double ReadFieldNumber(const std::string& field) {
    std::string s;
    for (char c : field)
        if (c != ' ' && c != '\t') s += c;

    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::string mantissa;
    int digits = 0;
    while (i < s.size() && IsDigit(s[i])) { mantissa += s[i++]; ++digits; }
    if (i < s.size() && s[i] == '.') {
        mantissa += s[i++];
        while (i < s.size() && IsDigit(s[i])) { mantissa += s[i++]; ++digits; }
    }
    if (digits == 0) return 0.0;

    long long exponent = 0;
    std::string expText;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) expNegative = s[j++] == '-';
        if (j < s.size() && IsDigit(s[j])) {
            expText = expNegative ? "e-" : "e";
            for (; j < s.size() && IsDigit(s[j]); ++j) {
                expText += s[j];
                exponent = std::min<long long>(exponent * 10 + (s[j] - '0'), 1000000000LL);
            }
            if (expNegative) exponent = -exponent;
        }
    }

    const std::string number = (negative ? "-" : "") + mantissa + expText;
    double value = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range) return OutOfRangeValue(mantissa, exponent, negative);
    if (res.ec != std::errc()) return 0.0;
    return value;
}

ParamLineStatus ReadParamLine(const std::string& text, ParamRow& row, int n) {
    row.fill(0);
    size_t pos = 0;
    for (size_t col = 0; col < row.size() && pos < text.size(); ++col) {
        const size_t comma = text.find(',', pos);
        const std::string field = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        const double v = RoundEven(ReadFieldNumber(field));
        if (!(v >= -32768.0 && v <= 32767.0)) return ParamLineStatus::OutOfRange;
        row[col] = static_cast<int16_t>(v);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    int32_t sum = 0;
    for (int c = 0; c < n; ++c) sum += row[c];
    // % keeps the sign of the sum: -10 gives -10, so the check is 117.
    return row[n] == sum % 255 + 127 ? ParamLineStatus::Good : ParamLineStatus::BadCheck;
}

bool SplitParamLine(const std::string& text, ParamRow& row, int n) {
    return ReadParamLine(text, row, n) == ParamLineStatus::Good;
}

void LoadConfig(Game& g) {
    g.StageParam = {};
    g.SkillParam = {};
    g.ScreenSize = {};
    g.SpeedParam = {};
    g.CellDice = {};
    g.StageParamLine = g.ScreenSizeLine = g.SpeedParamLine = g.CellDiceLine = 0;

    int32_t checkSum = 0;
    int count = 0;

    if (!ReadGroup(g, {"Stage", 0, 9, 12, 1000}, g.StageParam.data(), count, checkSum)) return;
    g.StageParamLine = static_cast<int16_t>(count);
    if (count == 0) { Fail(g, 901); return; }
    // Stage numbers start at 0, so a row starting at 0 or below must exist or stage 0 has no row.
    if (std::none_of(g.StageParam.begin(), g.StageParam.begin() + count, [](const ParamRow& r) { return r[0] <= 0; })) {
        Fail(g, kCfgNoStageRow);
        return;
    }

    if (!ReadGroup(g, {"Skill", 0, 2, 12, 2000}, g.SkillParam.data(), count, checkSum)) return;
    if (count != 3) { Fail(g, 902); return; }

    if (!ReadGroup(g, {"Screen", 0, 9, 8, 3000}, g.ScreenSize.data(), count, checkSum)) return;
    g.ScreenSizeLine = static_cast<int16_t>(count);
    if (count == 0) { Fail(g, 903); return; }
    // The board array holds at most kMaxBoxX x kMaxBoxY boxes.
    for (int i = 0; i < count; ++i) {
        const ParamRow& r = g.ScreenSize[i];
        if (r[2] < 1 || r[2] > kMaxBoxX || r[3] < 1 || r[3] > kMaxBoxY) { Fail(g, kCfgUnusableValue + 3000 + i); return; }
    }

    if (!ReadGroup(g, {"Speed", 0, 9, 5, 4000}, g.SpeedParam.data(), count, checkSum)) return;
    g.SpeedParamLine = static_cast<int16_t>(count);
    if (count == 0) { Fail(g, 904); return; }
    // Column 1 divides the move interval.
    for (int i = 0; i < count; ++i)
        if (g.SpeedParam[i][1] < 1) { Fail(g, kCfgUnusableValue + 4000 + i); return; }

    if (!ReadGroup(g, {"Cell", 1, 100, 2, 5000}, g.CellDice.data(), count, checkSum)) return;
    g.CellDiceLine = static_cast<int16_t>(count);
    if (count == 0) { Fail(g, 905); return; }
    // The next-cell draw works in 16 bits: the weights must add up to at most 32767 at every skill.
    for (int skill = 0; skill <= 2; ++skill) {
        int32_t total = 0;
        for (int i = 1; i <= count; ++i)
            total += std::max(0, g.CellDice[i][0] + skill * g.CellDice[i][1]);
        if (total > 32767) { Fail(g, kCfgDiceTooHeavy); return; }
    }

    const std::string check = Trim(GetPrivateProfileString("Config", "Check", "EOL", g.CfgFileName));
    if (check == "EOL") { Fail(g, 908); return; }
    if (RoundEven(ReadFieldNumber(check)) != checkSum % 255 + 127) { Fail(g, 909); return; }
}

void ApplySkillToDice(Game& g) {
    g.CellDiceTotal = 0;
    for (int i = 1; i <= g.CellDiceLine; ++i) {
        ParamRow& row = g.CellDice[i];
        int64_t w = row[0] + static_cast<int64_t>(g.OptSkill) * row[1];
        w = std::clamp<int64_t>(w, 0, 32767);
        row[9] = static_cast<int16_t>(w);
        g.CellDiceTotal += static_cast<int32_t>(w);
    }
}

bool SetStageVariables(Game& g) {
    int stageRow = -1;
    for (int r = 0; r < g.StageParamLine; ++r)
        if (g.StageParam[r][0] <= g.CurStage) { stageRow = r; break; }
    if (stageRow < 0) {
        const int16_t cod = kCfgNoStageRow;
        ErrorStop(g, 21, cod);
        return false;
    }

    const ParamRow& S = g.StageParam[stageRow];
    const ParamRow& K = g.SkillParam[std::clamp(g.OptSkill, 0, 2)];
    const ParamRow& C = g.ScreenSize[std::clamp(g.OptScreen, 0, 9)];
    bool ok = true;
    // Rounds ties to even; a result its variable cannot hold stops with the stage row's detail.
    auto value = [&](double v, double lo, double hi) -> int32_t {
        const double r = RoundEven(v);
        if (!(r >= lo && r <= hi)) { ok = false; return 0; }
        return static_cast<int32_t>(r);
    };
    constexpr double lo32 = -2147483648.0, hi32 = 2147483647.0, lo16 = -32768.0, hi16 = 32767.0;

    const int32_t moveInterval = value(S[1] * (K[1] / 100.0), lo32, hi32);
    const int32_t timeOut = value(S[2] * (K[2] / 100.0) * (C[4] / 100.0), lo32, hi32);
    const int32_t scoreGoing = value(-S[3] * (K[3] / 100.0) * (C[5] / 100.0), lo32, hi32);
    const int32_t cellPass = value(S[4] * (K[4] / 100.0), lo32, hi32);
    const int32_t cellOnto = value(-S[5] * (K[5] / 100.0), lo32, hi32);
    const int32_t takeOff = value(S[6] * (K[6] / 100.0), lo16, hi16);
    const int32_t bomb = value(S[7] * (K[7] / 100.0), lo16, hi16);
    const int32_t rock = value(S[8] * (K[8] / 100.0), lo16, hi16);
    const int32_t rockLimit = value(S[9] * (K[9] / 100.0), lo16, hi16);
    const int32_t hole = value(S[10] * (K[10] / 100.0) * (C[6] / 100.0), lo16, hi16);
    const int32_t warp = value(S[11] * (K[11] / 100.0) * (C[7] / 100.0), lo16, hi16);
    if (!ok) {
        const int16_t cod = static_cast<int16_t>(kCfgUnusableValue + 1000 + stageRow);
        ErrorStop(g, 21, cod);
        return false;
    }

    g.MoveTimer_Interval = moveInterval;
    g.TimeOutCount = timeOut;
    g.ScoreGoing = scoreGoing;
    g.ScoreCellPass = cellPass;
    g.ScoreCellOnto = cellOnto;
    g.TakeOffRate = static_cast<int16_t>(takeOff);
    g.BombRate = static_cast<int16_t>(bomb);
    g.RockRate = static_cast<int16_t>(rock);
    g.RockLimit = static_cast<int16_t>(std::min(rockLimit, 10));
    g.HoleRate = static_cast<int16_t>(hole);
    g.WarpRate = static_cast<int16_t>(warp);

    return true;
}

}  // namespace ralvo
