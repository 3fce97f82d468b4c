#include "dataset_lib.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace ralvo::dataset {
namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------- small helpers

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> Tokens(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    std::string t;
    while (in >> t) out.push_back(t);
    return out;
}

std::string StripComment(const std::string& line) {
    size_t h = line.find('#');
    return Trim(h == std::string::npos ? line : line.substr(0, h));
}

bool ParseInt(const std::string& s, int& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    long x = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0') return false;
    v = static_cast<int>(x);
    return true;
}

std::string Str(const std::ostringstream& o) { return o.str(); }

template <typename... A>
std::string Cat(const A&... a) {
    std::ostringstream o;
    (o << ... << a);
    return Str(o);
}

bool ReadText(const fs::path& p, std::string& text) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return false;
    std::ostringstream o;
    o << in.rdbuf();
    text = o.str();
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            if (!cur.empty() && cur.back() == '\r') cur.pop_back();
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

const char* kSideName[4] = {"east", "south", "west", "north"};

// Heading of a unit step, 0..15 in 22.5-degree steps (y grows downwards).
int StepHeading(int dx, int dy) {
    static const int table[3][3] = {{10, 8, 6}, {12, -1, 4}, {14, 0, 2}};  // [dx+1][dy+1]
    return table[dx + 1][dy + 1];
}

// Difference of two headings in steps, 0..8.
int HeadingDiff(int a, int b) {
    int d = ((a - b) % 16 + 16) % 16;
    return std::min(d, 16 - d);
}

DotRec Turn(const DotRec& d, int r) {
    DotRec t = d;
    int x = d.Xx, y = d.Yy;
    switch (((r % 4) + 4) % 4) {
        case 1: t.Xx = static_cast<uint8_t>(80 - y); t.Yy = static_cast<uint8_t>(x); break;
        case 2: t.Xx = static_cast<uint8_t>(80 - x); t.Yy = static_cast<uint8_t>(80 - y); break;
        case 3: t.Xx = static_cast<uint8_t>(y); t.Yy = static_cast<uint8_t>(80 - x); break;
        default: break;
    }
    t.Angle = static_cast<uint8_t>((d.Angle + 4 * r) % 16);
    return t;
}

// Edge midpoint of a side in the box.
std::pair<int, int> SideMid(int side) {
    switch (side) {
        case 0: return {80, 40};
        case 1: return {40, 80};
        case 2: return {0, 40};
        default: return {40, 0};
    }
}

// ---------------------------------------------------------------- event codes

struct EventName {
    const char* name;
    int code;
};
const EventName kEvents[] = {{"crash", 1},   {"warp", 2},     {"cover", 3},     {"tt-test", 4},
                             {"none5", 5},   {"tt-bare", 6},  {"tt-set", 7},    {"tt-spin", 8},
                             {"crash9", 9},  {"none12", 12},  {"collapse", 13}, {"cover14", 14},
                             {"goal", 15}};

int EventCode(const std::string& name) {
    for (const auto& e : kEvents)
        if (name == e.name) return e.code;
    return -1;
}

const char* EventLabel(int code) {
    for (const auto& e : kEvents)
        if (e.code == code) return e.name;
    return "unknown";
}

bool IsKnownEvent(int code) { return code == 0 || EventCode(EventLabel(code)) == code; }

// ---------------------------------------------------------------- path geometry

// Quarter arc of radius 40 round (80,80) from (80,40) to (40,80), heading west to south.
// The half up to the diagonal is traced pixel by pixel and mirrored, so the arc is the same
// track whichever way it is run.
std::vector<DotRec> ArcSouth() {
    auto err = [](int x, int y) { return std::fabs(std::hypot(x - 80.0, y - 80.0) - 40.0); };
    std::vector<std::pair<int, int>> half{{80, 40}};
    for (;;) {
        auto [x, y] = half.back();
        std::pair<int, int> cand[3] = {{x - 1, y}, {x - 1, y + 1}, {x, y + 1}};
        auto best = cand[0];
        for (const auto& c : cand)
            if (err(c.first, c.second) < err(best.first, best.second) - 1e-9) best = c;
        if (best.first <= best.second) break;
        half.push_back(best);
    }
    std::vector<std::pair<int, int>> pts = half;
    auto [a, b] = half.back();
    if (a - b == 2) pts.push_back({a - 1, b + 1});
    for (auto it = half.rbegin(); it != half.rend(); ++it) pts.push_back({it->second, it->first});
    std::vector<DotRec> dots;
    for (auto [x, y] : pts) {
        double phi = std::atan2(y - 80.0, x - 80.0) * 180.0 / M_PI;  // radius direction
        double heading = phi - 90.0;
        int h = static_cast<int>(std::floor(heading / 22.5 + 0.5));
        dots.push_back(DotRec{static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(((h % 16) + 16) % 16), 0});
    }
    return dots;
}

std::vector<DotRec> ArcNorth() {
    std::vector<DotRec> d = ArcSouth();
    for (auto& p : d) {
        p.Yy = static_cast<uint8_t>(80 - p.Yy);
        p.Angle = static_cast<uint8_t>((16 - p.Angle) % 16);
    }
    return d;
}

// A point of a path: a base with an offset.
bool ResolvePoint(const std::vector<std::string>& tok, size_t& i, const std::vector<DotRec>& dots, int mid,
                  int& index, std::string& err) {
    if (i >= tok.size()) {
        err = "point missing";
        return false;
    }
    std::string t = tok[i++];
    std::string base = t;
    int offset = 0;
    auto splitOffset = [&](size_t from) {
        size_t p = t.find_first_of("+-", from);
        if (p == std::string::npos) return true;
        base = t.substr(0, p);
        int v;
        if (!ParseInt(t.substr(p + 1), v)) return false;
        offset = t[p] == '-' ? -v : v;
        return true;
    };
    int n = static_cast<int>(dots.size());
    if (t == "dot") {
        if (i >= tok.size()) {
            err = "dot number missing";
            return false;
        }
        t = tok[i++];
        base = t;
        if (!splitOffset(0) || !ParseInt(base, index)) {
            err = "bad dot number '" + t + "'";
            return false;
        }
        index += offset;
    } else if (t.rfind("x=", 0) == 0 || t.rfind("y=", 0) == 0) {
        if (!splitOffset(2)) {
            err = "bad point '" + t + "'";
            return false;
        }
        int v;
        if (!ParseInt(base.substr(2), v)) {
            err = "bad point '" + t + "'";
            return false;
        }
        index = -1;
        for (int k = 0; k < n; ++k)
            if ((t[0] == 'x' ? dots[k].Xx : dots[k].Yy) == v) {
                index = k;
                break;
            }
        if (index < 0) {
            err = "no dot has " + base;
            return false;
        }
        index += offset;
    } else {
        if (!splitOffset(0)) {
            err = "bad point '" + t + "'";
            return false;
        }
        if (base == "start") index = 0;
        else if (base == "end") index = n - 1;
        else if (base == "middle") index = mid;
        else if (base == "centre") {
            index = -1;
            for (int k = 0; k < n; ++k)
                if (dots[k].Xx == 40 && dots[k].Yy == 40) {
                    index = k;
                    break;
                }
            if (index < 0) {
                err = "the path does not reach the centre";
                return false;
            }
        } else {
            err = "unknown point '" + base + "'";
            return false;
        }
        index += offset;
    }
    if (index < 0 || index >= n) {
        err = Cat("point '", t, "' lies outside the path (dots 0..", n - 1, ")");
        return false;
    }
    return true;
}

struct PathSource {
    int id = 0;
    std::string name;
    int line = 0;
    std::vector<std::pair<int, std::vector<std::string>>> shapes;  // line, tokens
    std::vector<std::pair<int, std::vector<std::string>>> rest;    // exit, mid, event lines
};

bool BuildPath(const PathSource& src, const std::string& file, PathRec& rec, std::vector<std::string>& errors) {
    auto fail = [&](int line, const std::string& what) {
        errors.push_back(Cat(file, ":", line, ": path ", src.id, ": ", what));
        return false;
    };
    std::vector<DotRec> dots{DotRec{80, 40, 8, 0}};
    int x = 80, y = 40, h = 8;
    bool first = true;
    for (const auto& [line, tok] : src.shapes) {
        const std::string& kw = tok[0];
        if (kw == "shape" && tok.size() >= 3 && tok[1] == "line") {
            int tx, ty;
            size_t c = tok[2].find(',');
            if (c == std::string::npos || !ParseInt(tok[2].substr(0, c), tx) || !ParseInt(tok[2].substr(c + 1), ty))
                return fail(line, "line needs a target X,Y");
            int ax = std::abs(tx - x), ay = std::abs(ty - y);
            if ((ax && ay && ax != ay) || (!ax && !ay)) return fail(line, "a line must run straight or diagonal and go somewhere");
            int dx = (tx > x) - (tx < x), dy = (ty > y) - (ty < y);
            h = StepHeading(dx, dy);
            while (x != tx || y != ty) {
                x += dx;
                y += dy;
                dots.push_back(DotRec{static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(h), 0});
            }
        } else if (kw == "shape" && tok.size() == 3 && tok[1] == "arc") {
            if (!first) return fail(line, "an arc must be the first shape");
            std::vector<DotRec> arc;
            if (tok[2] == "south") arc = ArcSouth();
            else if (tok[2] == "north") arc = ArcNorth();
            else return fail(line, "arc goes south or north");
            dots.assign(arc.begin(), arc.end());
            x = dots.back().Xx;
            y = dots.back().Yy;
            h = dots.back().Angle;
        } else if (kw == "shape" && tok.size() == 4 && tok[1] == "pivot") {
            int target, per;
            if (!ParseInt(tok[2], target) || !ParseInt(tok[3], per) || target < 0 || target > 15 || per < 1)
                return fail(line, "pivot needs a heading 0..15 and a number of dots per step");
            int diff = ((target - h) % 16 + 16) % 16;
            int step = diff <= 8 ? 1 : -1;
            while (h != target) {
                h = ((h + step) % 16 + 16) % 16;
                for (int k = 0; k < per; ++k)
                    dots.push_back(DotRec{static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(h), 0});
            }
        } else if (kw == "keep" && tok.size() == 2) {
            int n;
            if (!ParseInt(tok[1], n) || n < 1 || n > static_cast<int>(dots.size()))
                return fail(line, Cat("keep needs 1..", dots.size(), " dots"));
            dots.resize(static_cast<size_t>(n));
        } else {
            return fail(line, "unknown shape line");
        }
        first = false;
    }
    if (dots.size() > static_cast<size_t>(kMaxDots)) return fail(src.line, Cat("has ", dots.size(), " dots, at most ", kMaxDots, " fit"));

    int dir = -2;
    int mid = static_cast<int>(dots.size()) / 2;
    for (const auto& [line, tok] : src.rest) {
        if (tok[0] == "exit" && tok.size() == 2) {
            static const std::map<std::string, int> exits{{"east", 0}, {"south", 1}, {"west", 2}, {"north", 3}, {"none", -1}};
            auto it = exits.find(tok[1]);
            if (it == exits.end()) return fail(line, "exit is east, south, west, north or none");
            dir = it->second;
        } else if (tok[0] == "mid") {
            size_t i = 1;
            std::string err;
            int m;
            if (!ResolvePoint(tok, i, dots, mid, m, err) || i != tok.size()) return fail(line, err.empty() ? "bad mid" : err);
            mid = m;
        }
    }
    if (dir == -2) return fail(src.line, "has no exit line");
    for (const auto& [line, tok] : src.rest) {
        if (tok[0] != "event") continue;
        if (tok.size() < 4) return fail(line, "event NAME at POINT | event NAME from POINT to POINT");
        int code = EventCode(tok[1]);
        if (code < 0) return fail(line, "unknown event '" + tok[1] + "'");
        size_t i = 3;
        std::string err;
        int a, b;
        if (tok[2] == "at") {
            if (!ResolvePoint(tok, i, dots, mid, a, err)) return fail(line, err);
            b = a;
        } else if (tok[2] == "from") {
            if (!ResolvePoint(tok, i, dots, mid, a, err)) return fail(line, err);
            if (i >= tok.size() || tok[i] != "to") return fail(line, "'to' missing");
            ++i;
            if (!ResolvePoint(tok, i, dots, mid, b, err)) return fail(line, err);
            if (b < a) std::swap(a, b);
        } else {
            return fail(line, "event NAME at POINT | event NAME from POINT to POINT");
        }
        if (i != tok.size()) return fail(line, "extra words after the point");
        for (int k = a; k <= b; ++k) {
            if (dots[k].Flag != 0) return fail(line, Cat("dot ", k, " already carries event ", EventLabel(dots[k].Flag)));
            dots[k].Flag = static_cast<uint8_t>(code);
        }
    }
    rec = PathRec{};
    rec.PathHdr = kPathMagic;
    rec.PathId = static_cast<int16_t>(src.id);
    rec.PathDir = static_cast<int16_t>(dir);
    rec.PathLen = static_cast<int16_t>(dots.size());
    rec.PathMid = static_cast<int16_t>(mid);
    std::copy(dots.begin(), dots.end(), rec.Dot.begin());
    return true;
}

bool ParsePaths(const fs::path& file, Tables& t, std::vector<std::string>& errors) {
    std::string text;
    if (!ReadText(file, text)) {
        errors.push_back("cannot read " + file.string());
        return false;
    }
    std::vector<PathSource> srcs;
    int ln = 0;
    size_t before = errors.size();
    for (const std::string& raw : Lines(text)) {
        ++ln;
        std::string line = StripComment(raw);
        if (line.empty()) continue;
        auto tok = Tokens(line);
        if (tok[0] == "path") {
            PathSource s;
            if (tok.size() < 2 || !ParseInt(tok[1], s.id) || s.id < 1 || s.id > kFilePaths) {
                errors.push_back(Cat(file.string(), ":", ln, ": path id must be 1..", kFilePaths));
                continue;
            }
            s.name = tok.size() > 2 ? tok[2] : "";
            s.line = ln;
            srcs.push_back(s);
        } else if (srcs.empty()) {
            errors.push_back(Cat(file.string(), ":", ln, ": line outside a path block"));
        } else if (tok[0] == "shape" || tok[0] == "keep") {
            srcs.back().shapes.push_back({ln, tok});
        } else if (tok[0] == "exit" || tok[0] == "mid" || tok[0] == "event") {
            srcs.back().rest.push_back({ln, tok});
        } else {
            errors.push_back(Cat(file.string(), ":", ln, ": unknown keyword '", tok[0], "'"));
        }
    }
    std::set<int> seen;
    for (const auto& s : srcs) {
        if (!seen.insert(s.id).second) {
            errors.push_back(Cat(file.string(), ":", s.line, ": path ", s.id, " is defined twice"));
            continue;
        }
        BuildPath(s, file.string(), t.path[s.id], errors);
    }
    t.pathRecords = seen.empty() ? 0 : *seen.rbegin();
    return errors.size() == before;
}

// ---------------------------------------------------------------- cells source

bool ParseCells(const fs::path& file, Tables& t, std::vector<std::string>& errors) {
    std::string text;
    if (!ReadText(file, text)) {
        errors.push_back("cannot read " + file.string());
        return false;
    }
    static const std::map<std::string, int> attrs{{"fixed", 1},     {"turntable", 2}, {"warpA", 4},  {"warpB", 8},
                                                  {"marshEW", 32},  {"marshNS", 64},  {"start", 128}, {"marker", 256}};
    size_t before = errors.size();
    int ln = 0;
    for (const std::string& raw : Lines(text)) {
        ++ln;
        std::string line = StripComment(raw);
        if (line.empty()) continue;
        auto tok = Tokens(line);
        auto fail = [&](const std::string& what) { errors.push_back(Cat(file.string(), ":", ln, ": ", what)); };
        int id, pic;
        if (tok.size() < 7 || !ParseInt(tok[0], id) || !ParseInt(tok[1], pic)) {
            fail("a cell row is: ID PICTURE ATTRIBUTES EAST SOUTH WEST NORTH NAME");
            continue;
        }
        if (id < 1 || id > kFileCells) {
            fail(Cat("cell id ", id, " is not 1..", kFileCells));
            continue;
        }
        if (t.CellPresent(id)) {
            fail(Cat("cell ", id, " is defined twice"));
            continue;
        }
        CellRec c;
        c.CellHdr = kCellMagic;
        c.CellId = static_cast<int16_t>(pic);
        int a = 0;
        if (tok[2] != "-") {
            std::string rest = tok[2];
            size_t p = 0;
            bool ok = true;
            while (p <= rest.size()) {
                size_t q = rest.find('+', p);
                std::string name = rest.substr(p, q == std::string::npos ? std::string::npos : q - p);
                auto it = attrs.find(name);
                if (it == attrs.end()) {
                    fail("unknown attribute '" + name + "'");
                    ok = false;
                    break;
                }
                a |= it->second;
                if (q == std::string::npos) break;
                p = q + 1;
            }
            if (!ok) continue;
        }
        c.Cellattr = static_cast<int16_t>(a);
        bool ok = true;
        for (int k = 0; k < 4 && ok; ++k) {
            if (tok[3 + k] == "-") continue;
            std::string list = tok[3 + k];
            int j = 0;
            size_t p = 0;
            while (ok) {
                size_t q = list.find(',', p);
                int pid;
                if (!ParseInt(list.substr(p, q == std::string::npos ? std::string::npos : q - p), pid) || pid < 1) {
                    fail("bad path list '" + list + "'");
                    ok = false;
                } else if (j >= 4) {
                    fail("at most four paths per side");
                    ok = false;
                } else {
                    c.PathType[k][j++] = static_cast<int16_t>(pid);
                }
                if (q == std::string::npos) break;
                p = q + 1;
            }
        }
        if (!ok) continue;
        t.cell[id] = c;
        t.cellRecords = std::max(t.cellRecords, id);
    }
    return errors.size() == before;
}

// ---------------------------------------------------------------- config source

struct ConfigSource {
    std::vector<ParamRow> stage, skill, screen, speed;
    std::map<int, std::pair<int, int>> dice;  // id -> base, per skill
};

bool ParseConfig(const fs::path& file, ConfigSource& cs, std::vector<std::string>& errors) {
    std::string text;
    if (!ReadText(file, text)) {
        errors.push_back("cannot read " + file.string());
        return false;
    }
    size_t before = errors.size();
    std::string section;
    int ln = 0;
    for (const std::string& raw : Lines(text)) {
        ++ln;
        std::string line = StripComment(raw);
        if (line.empty()) continue;
        auto fail = [&](const std::string& what) { errors.push_back(Cat(file.string(), ":", ln, ": ", what)); };
        if (line.front() == '[') {
            section = line;
            if (section != "[stage]" && section != "[skill]" && section != "[screen]" && section != "[speed]" && section != "[cells]")
                fail("unknown section " + section);
            continue;
        }
        auto tok = Tokens(line);
        std::vector<int> v;
        for (const auto& s : tok) {
            int x;
            if (!ParseInt(s, x) || x < -32768 || x > 32767) {
                fail("'" + s + "' is not a 16-bit whole number");
                v.clear();
                break;
            }
            v.push_back(x);
        }
        if (v.empty()) continue;
        auto row = [&](size_t n, std::vector<ParamRow>& into) {
            if (v.size() != n) return fail(Cat("a ", section, " row has ", n, " numbers, this one ", v.size()));
            ParamRow r{};
            for (size_t i = 0; i < n; ++i) r[i] = static_cast<int16_t>(v[i]);
            into.push_back(r);
        };
        if (section == "[stage]") row(12, cs.stage);
        else if (section == "[skill]") row(12, cs.skill);
        else if (section == "[screen]") row(8, cs.screen);
        else if (section == "[speed]") row(5, cs.speed);
        else if (section == "[cells]") {
            if (v.size() != 3) fail("a [cells] row is: ID BASE PERSKILL");
            else if (v[0] < 1 || v[0] > 100) fail("cell rows are 1..100");
            else if (!cs.dice.emplace(v[0], std::make_pair(v[1], v[2])).second) fail(Cat("cell ", v[0], " is listed twice"));
        } else fail("row outside a section");
    }
    auto count = [&](const std::vector<ParamRow>& r, const char* name, size_t lo, size_t hi) {
        if (r.size() < lo || r.size() > hi) errors.push_back(Cat(file.string(), ": [", name, "] needs ", lo, "..", hi, " rows, has ", r.size()));
    };
    count(cs.stage, "stage", 1, 10);
    count(cs.skill, "skill", 3, 3);
    count(cs.screen, "screen", 1, 10);
    count(cs.speed, "speed", 1, 10);
    if (cs.dice.empty()) errors.push_back(file.string() + ": [cells] has no rows");
    return errors.size() == before;
}

std::string FormatLine(const std::string& key, const ParamRow& r, int n) {
    std::ostringstream o;
    o << key << '=';
    for (int i = 0; i < n; ++i) o << r[i] << ", ";
    o << LineCheck(r, n) << '\n';
    return o.str();
}

std::string MakeCfg(const ConfigSource& cs) {
    std::ostringstream o;
    int sum = 0;
    auto put = [&](const std::string& key, const ParamRow& r, int n) {
        o << FormatLine(key, r, n);
        sum += LineCheck(r, n);
    };
    auto key2 = [](const char* g, int i) {
        std::ostringstream k;
        k << g << (i < 10 ? "0" : "") << i;
        return k.str();
    };
    o << "; Ralvo game configuration, made by ralvo-dataset from dataset/config.txt. Do not edit: rebuild.\n";
    o << "[Config]\n";
    for (size_t i = 0; i < cs.stage.size(); ++i) put(key2("Stage", static_cast<int>(i)), cs.stage[i], 12);
    for (size_t i = 0; i < cs.skill.size(); ++i) put(key2("Skill", static_cast<int>(i)), cs.skill[i], 12);
    for (size_t i = 0; i < cs.screen.size(); ++i) put(key2("Screen", static_cast<int>(i)), cs.screen[i], 8);
    for (size_t i = 0; i < cs.speed.size(); ++i) put(key2("Speed", static_cast<int>(i)), cs.speed[i], 5);
    int last = cs.dice.empty() ? 0 : cs.dice.rbegin()->first;
    for (int id = 1; id <= last; ++id) {
        ParamRow r{};
        auto it = cs.dice.find(id);
        if (it != cs.dice.end()) {
            r[0] = static_cast<int16_t>(it->second.first);
            r[1] = static_cast<int16_t>(it->second.second);
        }
        put(key2("Cell", id), r, 2);
    }
    o << "Check=" << (sum % 255 + 127) << '\n';
    return o.str();
}

// ---------------------------------------------------------------- reading numbers as the game does

// One field: blanks ignored, the longest number at the front, rounded half to even.
bool FieldValue(const std::string& field, int16_t& out) {
    std::string s;
    for (char c : field)
        if (c != ' ' && c != '\t') s += c;
    size_t i = 0;
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) num += s[i++];
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) num += s[i++], digits = true;
    if (i < s.size() && s[i] == '.') {
        num += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) num += s[i++], digits = true;
    }
    if (digits && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        std::string ex = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ex += s[j++];
        bool ed = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ex += s[j++], ed = true;
        if (ed) num += ex;
    }
    double v = digits ? std::strtod(num.c_str(), nullptr) : 0.0;
    std::fesetround(FE_TONEAREST);
    double r = std::nearbyint(v);
    if (r < -32768.0 || r > 32767.0) {
        out = 0;
        return false;
    }
    out = static_cast<int16_t>(r);
    return true;
}

}  // namespace

// ---------------------------------------------------------------- public: tables

bool Tables::PathPresent(int id) const { return id >= 1 && id <= kFilePaths && path[id].PathHdr == kPathMagic; }
bool Tables::CellPresent(int id) const { return id >= 1 && id <= kFileCells && cell[id].CellHdr == kCellMagic; }

int16_t LineCheck(const ParamRow& row, int n) {
    int sum = 0;
    for (int i = 0; i < n; ++i) sum += row[i];
    return static_cast<int16_t>(sum % 255 + 127);
}

bool SplitParamLine(const std::string& text, ParamRow& row, int n) {
    row.fill(0);
    std::string rest = text;
    for (int col = 0; col < 15 && !rest.empty(); ++col) {
        size_t c = rest.find(',');
        std::string field = c == std::string::npos ? rest : rest.substr(0, c);
        rest = c == std::string::npos ? "" : rest.substr(c + 1);
        FieldValue(field, row[col]);
    }
    return row[n] == LineCheck(row, n);
}

std::vector<uint8_t> EncodePaths(const Tables& t) {
    std::vector<uint8_t> out(static_cast<size_t>(t.pathRecords) * kPathRecLen, 0);
    for (int id = 1; id <= t.pathRecords && id <= kFilePaths; ++id)
        EncodePathRec(t.path[id], out.data() + static_cast<size_t>(id - 1) * kPathRecLen);
    return out;
}

std::vector<uint8_t> EncodeCells(const Tables& t) {
    std::vector<uint8_t> out(static_cast<size_t>(t.cellRecords) * kCellRecLen, 0);
    for (int id = 1; id <= t.cellRecords && id <= kFileCells; ++id)
        EncodeCellRec(t.cell[id], out.data() + static_cast<size_t>(id - 1) * kCellRecLen);
    return out;
}

bool BuildFromSources(const fs::path& srcDir, DataFiles& out, std::vector<std::string>& errors) {
    Tables t;
    ConfigSource cs;
    bool ok = ParsePaths(srcDir / "paths.txt", t, errors);
    ok = ParseCells(srcDir / "cells.txt", t, errors) && ok;
    ok = ParseConfig(srcDir / "config.txt", cs, errors) && ok;
    if (!ok) return false;
    out.pathDat = EncodePaths(t);
    out.cellDat = EncodeCells(t);
    out.cfg = MakeCfg(cs);
    return true;
}

bool WriteFiles(const DataFiles& files, const fs::path& outDir, std::string& error) {
    std::error_code ec;
    fs::create_directories(outDir, ec);
    auto put = [&](const char* name, const char* data, size_t n) {
        std::ofstream o(outDir / name, std::ios::binary | std::ios::trunc);
        o.write(data, static_cast<std::streamsize>(n));
        if (!o) {
            error = "cannot write " + (outDir / name).string();
            return false;
        }
        return true;
    };
    return put("PATH.DAT", reinterpret_cast<const char*>(files.pathDat.data()), files.pathDat.size()) &&
           put("CELL.DAT", reinterpret_cast<const char*>(files.cellDat.data()), files.cellDat.size()) &&
           put("Ralvo.CFG", files.cfg.data(), files.cfg.size());
}

bool ReadFiles(const fs::path& dir, DataFiles& out, std::string& error) {
    std::string p, c;
    if (!ReadText(dir / "PATH.DAT", p)) return error = "cannot read " + (dir / "PATH.DAT").string(), false;
    if (!ReadText(dir / "CELL.DAT", c)) return error = "cannot read " + (dir / "CELL.DAT").string(), false;
    if (!ReadText(dir / "Ralvo.CFG", out.cfg)) return error = "cannot read " + (dir / "Ralvo.CFG").string(), false;
    out.pathDat.assign(p.begin(), p.end());
    out.cellDat.assign(c.begin(), c.end());
    return true;
}

namespace {
// Records counted as the game counts them: length / record length, rounded half to even.
int RecordCount(size_t bytes, int len) {
    std::fesetround(FE_TONEAREST);
    return static_cast<int>(std::nearbyint(static_cast<double>(bytes) / len));
}
}  // namespace

Tables DecodeTables(const DataFiles& files) {
    Tables t;
    t.pathRecords = RecordCount(files.pathDat.size(), kPathRecLen);
    t.cellRecords = RecordCount(files.cellDat.size(), kCellRecLen);
    std::vector<uint8_t> buf;
    for (int id = 1; id <= kFilePaths && id <= t.pathRecords; ++id) {
        buf.assign(kPathRecLen, 0);
        size_t off = static_cast<size_t>(id - 1) * kPathRecLen;
        for (size_t k = 0; k < static_cast<size_t>(kPathRecLen) && off + k < files.pathDat.size(); ++k) buf[k] = files.pathDat[off + k];
        t.path[id] = DecodePathRec(buf.data());
    }
    for (int id = 1; id <= kFileCells && id <= t.cellRecords; ++id) {
        buf.assign(kCellRecLen, 0);
        size_t off = static_cast<size_t>(id - 1) * kCellRecLen;
        for (size_t k = 0; k < static_cast<size_t>(kCellRecLen) && off + k < files.cellDat.size(); ++k) buf[k] = files.cellDat[off + k];
        t.cell[id] = DecodeCellRec(buf.data());
    }
    return t;
}

Config ReadConfig(const std::string& text) {
    Config cfg;
    std::map<std::string, std::string> keys;  // lower-case key -> value; the first one counts
    bool inConfig = false;
    for (const std::string& raw : Lines(text)) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t e = line.find(']');
            inConfig = Lower(Trim(line.substr(1, e == std::string::npos ? std::string::npos : e - 1))) == "config";
            cfg.hasSection = cfg.hasSection || inConfig;
            continue;
        }
        size_t eq = line.find('=');
        if (!inConfig || eq == std::string::npos) continue;
        keys.emplace(Lower(Trim(line.substr(0, eq))), Trim(line.substr(eq + 1)));
    }
    std::set<std::string> used;
    auto get = [&](const std::string& key, std::string& value) {
        auto it = keys.find(Lower(key));
        used.insert(Lower(key));
        if (it == keys.end() || it->second == "EOL") return false;
        value = it->second.substr(0, 199);
        return true;
    };
    int sum = 0;
    auto group = [&](const char* g, int first, int last, int n, std::vector<CfgLine>& into) {
        for (int i = first; i <= last; ++i) {
            std::ostringstream k;
            k << g << (i < 10 ? "0" : "") << i;
            std::string v;
            if (!get(k.str(), v)) break;
            CfgLine l;
            l.key = k.str();
            l.good = SplitParamLine(v, l.row, n);
            sum += l.row[n];
            into.push_back(l);
        }
    };
    group("Stage", 0, 9, 12, cfg.stage);
    group("Skill", 0, 2, 12, cfg.skill);
    group("Screen", 0, 9, 8, cfg.screen);
    group("Speed", 0, 9, 5, cfg.speed);
    group("Cell", 1, 100, 2, cfg.cell);
    std::string v;
    if (get("Check", v)) {
        ParamRow r;
        SplitParamLine(v, r, 1);
        cfg.hasCheck = true;
        cfg.fileCheck = r[0];
    }
    cfg.computedCheck = sum % 255 + 127;
    for (const auto& [k, val] : keys)
        if (!used.count(k)) cfg.unreadKeys.push_back(k);
    return cfg;
}

// ---------------------------------------------------------------- check

namespace {

struct Checker {
    const Tables& t;
    const Config& c;
    std::vector<std::string> v;

    void Bad(const std::string& s) { v.push_back(s); }

    int Len(int id) const { return t.path[id].PathLen; }
    const DotRec& Dot(int id, int i) const { return t.path[id].Dot[static_cast<size_t>(i)]; }
    bool HasEvent(int id, int code) const {
        if (!t.PathPresent(id)) return false;
        for (int i = 0; i < std::clamp<int>(Len(id), 0, kMaxDots); ++i)
            if (Dot(id, i).Flag == code) return true;
        return false;
    }
    int FirstEvent(int id, int code) const {
        for (int i = 0; i < std::clamp<int>(Len(id), 0, kMaxDots); ++i)
            if (Dot(id, i).Flag == code) return i;
        return -1;
    }
    // Base path of an id in a cell: twins fold back to their original.
    static int Base(int id) { return id > kFilePaths ? id - kFilePaths : id; }
    bool PathUsable(int id) const {
        if (id >= 1 && id <= kFilePaths) return t.PathPresent(id) && PathSound(id);
        if (id > kFilePaths && id <= kMaxPaths) return t.PathPresent(id - kFilePaths) && t.path[id - kFilePaths].PathDir != -1;
        return false;
    }
    bool PathSound(int id) const { return Len(id) >= 1 && Len(id) <= kMaxDots; }

    std::set<std::pair<int, int>> Pixels(int id, int side) const {
        std::set<std::pair<int, int>> s;
        int b = Base(id);
        if (!t.PathPresent(b) || !PathSound(b)) return s;
        for (int i = 0; i < Len(b); ++i) {
            DotRec d = Turn(Dot(b, i), side);
            s.insert({d.Xx, d.Yy});
        }
        return s;
    }

    void CheckPaths();
    void CheckPathGeometry(int id);
    void CheckCells();
    void CheckConfig();
    void CheckBalance();
};

void Checker::CheckPaths() {
    if (t.pathRecords < kFilePaths) Bad(Cat("PATH.DAT holds ", t.pathRecords, " records; paths 1..", kFilePaths, " are all needed"));
    if (t.pathRecords > kFilePaths) Bad(Cat("PATH.DAT holds ", t.pathRecords, " records; only the first ", kFilePaths, " are read"));
    for (int id = 1; id <= kFilePaths; ++id) {
        if (!t.PathPresent(id)) {
            Bad(Cat("path ", id, " is missing (no record with the PaV1 mark)"));
            continue;
        }
        const PathRec& p = t.path[id];
        if (p.PathId != id) Bad(Cat("path ", id, ": its record says it is path ", p.PathId));
        if (p.PathDir < -1 || p.PathDir > 3) Bad(Cat("path ", id, ": turn (PathDir) ", p.PathDir, " is not -1..3"));
        if (!PathSound(id)) {
            Bad(Cat("path ", id, ": length ", p.PathLen, " is not 1..", kMaxDots));
            continue;
        }
        if (p.PathMid < 0 || p.PathMid >= p.PathLen) Bad(Cat("path ", id, ": middle dot ", p.PathMid, " lies outside dots 0..", p.PathLen - 1));
        CheckPathGeometry(id);
    }

    // Fixed roles of path numbers.
    static const std::map<int, int> dirs{{1, 2},  {2, 2},   {3, 2},   {4, 3},   {5, 1},   {10, -1}, {11, -1},
                                         {12, -1}, {13, -1}, {14, 2}, {15, 3}, {16, 1}, {18, -1}};
    static const std::map<int, const char*> roles{{1, "the plain straight"},     {2, "the start straight"},
                                                  {3, "the warp straight"},      {4, "the curve to the north"},
                                                  {5, "the curve to the south"}, {10, "the broken straight"},
                                                  {11, "a broken curve"},        {12, "a broken curve"},
                                                  {13, "a dead end"},            {14, "the marsh straight"},
                                                  {15, "the marsh curve to the north"}, {16, "the marsh curve to the south"},
                                                  {18, "a dead end"}};
    for (auto [id, want] : dirs) {
        if (!t.PathPresent(id) || t.path[id].PathDir == want) continue;
        if (want == -1)
            Bad(Cat("path ", id, " has an exit (PathDir ", t.path[id].PathDir, ") but must be a dead end (PathDir -1): a bomb that cuts that exit would end the program"));
        else
            Bad(Cat("path ", id, " must be ", roles.at(id), " with PathDir ", want, ", not ", t.path[id].PathDir));
    }
    // Broken track must lie on the track it replaces.
    auto prefix = [&](int part, int whole) {
        if (!t.PathPresent(part) || !t.PathPresent(whole) || !PathSound(part) || !PathSound(whole)) return;
        bool ok = Len(part) <= Len(whole);
        for (int i = 0; ok && i < Len(part); ++i) ok = Dot(part, i).Xx == Dot(whole, i).Xx && Dot(part, i).Yy == Dot(whole, i).Yy;
        if (!ok) Bad(Cat("path ", part, " (broken) does not follow the track of path ", whole, " it replaces"));
    };
    prefix(10, 14);
    prefix(10, 1);
    prefix(11, 4);
    prefix(11, 15);
    prefix(12, 5);
    prefix(12, 16);

    for (int id = 1; id <= kFilePaths; ++id) {
        if (!t.PathPresent(id) || !PathSound(id)) continue;
        bool marsh = id == 14 || id == 15 || id == 16;
        if (marsh && !HasEvent(id, 13)) Bad(Cat("path ", id, " is a marsh path without a collapse dot (event 13)"));
        if (!marsh && HasEvent(id, 13)) Bad(Cat("path ", id, " has a collapse dot (event 13); only marsh paths 14, 15, 16 may"));
        int warps = 0;
        for (int i = 0; i < Len(id); ++i) warps += Dot(id, i).Flag == 2;
        if (id != 3 && warps) Bad(Cat("path ", id, " has a warp dot (event 2); only the warp path 3 may"));
        if (id == 3) {
            int w = FirstEvent(3, 2);
            if (warps != 1) Bad(Cat("path 3 must have exactly one warp dot (event 2), has ", warps));
            else if (w >= t.path[3].PathMid)
                Bad(Cat("path 3: the warp dot (", w, ") must come before the middle dot (", t.path[3].PathMid, ") where a warped vehicle reappears, or it warps again"));
            if (t.path[3].PathDir == -1) Bad("path 3 must have an exit: a warped vehicle runs on along it");
        }
        if (id == 2) {
            if (t.path[2].PathDir == -1) Bad("path 2 (start) must have an exit");
            for (int i = std::max<int>(t.path[2].PathMid, 0); i < Len(2); ++i) {
                int f = Dot(2, i).Flag;
                if (f == 1 || f == 9 || f == 15 || f == 2)
                    Bad(Cat("path 2 (start): dot ", i, " after the start dot carries event ", f));
            }
        }
    }
}

void Checker::CheckPathGeometry(int id) {
    const PathRec& p = t.path[id];
    int n = p.PathLen;
    auto at = [&](int i) { return Cat("path ", id, " dot ", i, " (", int(Dot(id, i).Xx), ",", int(Dot(id, i).Yy), ")"); };
    for (int i = 0; i < n; ++i) {
        const DotRec& d = Dot(id, i);
        if (d.Xx > 80 || d.Yy > 80) Bad(at(i) + ": lies outside the box (0..80)");
        if (d.Angle > 15) Bad(Cat(at(i), ": heading ", int(d.Angle), " is not 0..15"));
        if (!IsKnownEvent(d.Flag)) Bad(Cat(at(i), ": event code ", int(d.Flag), " means nothing to the game"));
    }
    const DotRec& d0 = Dot(id, 0);
    if (d0.Xx != 80 || d0.Yy != 40 || d0.Angle != 8)
        Bad(Cat("path ", id, ": dot 0 must be the east edge midpoint (80,40) heading 8 (west), is (", int(d0.Xx), ",", int(d0.Yy), ") heading ", int(d0.Angle)));
    int f0 = d0.Flag;
    if (f0 == 1 || f0 == 9 || f0 == 15 || f0 == 2)
        Bad(Cat("path ", id, ": dot 0 carries event ", f0, "; the first dot of a box is run without looking at its result"));
    for (int i = 1; i < n; ++i) {
        const DotRec& a = Dot(id, i - 1);
        const DotRec& b = Dot(id, i);
        int dx = b.Xx - a.Xx, dy = b.Yy - a.Yy;
        if (std::abs(dx) > 1 || std::abs(dy) > 1) Bad(Cat(at(i), ": gap of (", dx, ",", dy, ") pixels after dot ", i - 1, "; dots must be one pixel step apart"));
        if (HeadingDiff(a.Angle, b.Angle) > 1) Bad(Cat(at(i), ": heading jumps from ", int(a.Angle), " to ", int(b.Angle)));
    }
    // Heading against the direction of travel, measured over three dots each way.
    for (int i = 0; i < n; ++i) {
        int lo = std::max(0, i - 3), hi = std::min(n - 1, i + 3);
        int vx = Dot(id, hi).Xx - Dot(id, lo).Xx, vy = Dot(id, hi).Yy - Dot(id, lo).Yy;
        if (vx == 0 && vy == 0) continue;  // turning on the spot
        double h = std::atan2(static_cast<double>(vy), static_cast<double>(vx)) * 8.0 / M_PI;
        double diff = std::fmod(std::fabs(h - Dot(id, i).Angle), 16.0);
        diff = std::min(diff, 16.0 - diff);
        if (diff > 1.5) Bad(Cat(at(i), ": heading ", int(Dot(id, i).Angle), " does not match its direction of travel (", std::lround(h * 22.5) , " degrees)"));
    }
    if (p.PathDir >= 0 && p.PathDir <= 3) {
        auto [ex, ey] = SideMid(p.PathDir);
        const DotRec& e = Dot(id, n - 1);
        if (e.Xx != ex || e.Yy != ey || e.Angle != 4 * p.PathDir)
            Bad(Cat("path ", id, ": leaves through the ", kSideName[p.PathDir], " side, so its last dot must be (", ex, ",", ey, ") heading ", 4 * p.PathDir,
                    ", is (", int(e.Xx), ",", int(e.Yy), ") heading ", int(e.Angle)));
        if (n < 6) Bad(Cat("path ", id, ": ", n, " dots are too few for its dead-end twin, which crashes five dots before the end"));
    }
    if (p.PathDir == -1) {
        int stop = -1;
        for (int i = 0; i < n - 1; ++i)
            if (Dot(id, i).Flag == 1 || Dot(id, i).Flag == 9) {
                stop = i;
                break;
            }
        if (stop < 0) Bad(Cat("path ", id, " is a dead end without a crash dot (event 1 or 9) before its last dot; the vehicle would run off its end"));
    }
}

void Checker::CheckCells() {
    if (t.cellRecords > kFileCells) Bad(Cat("CELL.DAT holds ", t.cellRecords, " records; only the first ", kFileCells, " are read"));
    // Which cells use which paths.
    std::map<int, std::set<int>> usedIn;  // base path -> cells
    for (int id = 1; id <= kFileCells; ++id) {
        if (!t.CellPresent(id)) continue;
        const CellRec& cr = t.cell[id];
        if (cr.CellId < 1 || cr.CellId > 50) Bad(Cat("cell ", id, ": picture number (CellId) ", cr.CellId, " is not 1..50"));
        for (int k = 0; k < 4; ++k)
            for (int j = 0; j < 4; ++j) {
                int pid = cr.PathType[k][j];
                if (pid == 0) continue;
                if (!PathUsable(pid)) Bad(Cat("cell ", id, ": the ", kSideName[k], " side lists path ", pid, ", which is not a valid path"));
                else usedIn[Base(pid)].insert(id);
            }
        int a = cr.Cellattr;
        if (a & ~(1 | 2 | 4 | 8 | 32 | 64 | 128 | 256)) Bad(Cat("cell ", id, ": attribute bits ", a, " include bits with no meaning"));
        if ((a & 128) && id != 4) Bad(Cat("cell ", id, " has the start bit 128; only the start cell 4 may"));
        bool lists3 = false;
        for (auto& row : cr.PathType)
            for (int16_t x : row) lists3 = lists3 || x == 3;
        if ((a & 12) && !lists3) Bad(Cat("cell ", id, " is a warp cell (bit 4 or 8) but offers no path 3 to come out on"));
        if (!(a & 12) && lists3) Bad(Cat("cell ", id, " uses the warp path 3 but is no warp cell (bits 4, 8)"));
        // Marsh straights follow the marsh bits.
        std::set<int> sides14;
        for (int k = 0; k < 4; ++k)
            for (int j = 0; j < 4; ++j)
                if (Base(cr.PathType[k][j]) == 14) sides14.insert(k);
        std::set<int> want;
        if (a & 32) want.insert({0, 2});
        if (a & 64) want.insert({1, 3});
        if (sides14 != want) {
            if (!sides14.empty() && !(a & 96)) Bad(Cat("cell ", id, " uses the marsh straight 14 without a marsh bit (32, 64)"));
            else Bad(Cat("cell ", id, ": its marsh bits (", a & 96, ") do not match the sides where the marsh straight 14 starts"));
        }
        // Turntables: every path tests and sets the table; no turntable events elsewhere.
        for (int k = 0; k < 4; ++k)
            for (int j = 0; j < 4; ++j) {
                int pid = Base(cr.PathType[k][j]);
                if (pid < 1 || !t.PathPresent(pid) || !PathSound(pid)) continue;
                bool ttEvents = HasEvent(pid, 4) || HasEvent(pid, 6) || HasEvent(pid, 7) || HasEvent(pid, 8);
                if (a & 2) {
                    int test = FirstEvent(pid, 4), set = FirstEvent(pid, 7);
                    if (test < 0 || set < 0 || test > set)
                        Bad(Cat("cell ", id, " is a turntable but its path ", pid, " does not test the table (event 4) before it sets it (event 7)"));
                    for (int i = 0; i < Len(pid); ++i)
                        if (Dot(pid, i).Flag == 7 && Dot(pid, i).Angle % 4 != 0)
                            Bad(Cat("path ", pid, ": the turntable set dot ", i, " has a slanting heading, which would clear the table's state"));
                } else if (ttEvents) {
                    Bad(Cat("cell ", id, " is no turntable but its path ", pid, " carries turntable events (4, 6, 7, 8)"));
                }
                if ((HasEvent(pid, 3) || HasEvent(pid, 14)) && !(a & (4 | 8 | 256)))
                    Bad(Cat("cell ", id, ": path ", pid, " hides the vehicle under the marker (event 3/14) but the cell has no marker"));
                if (HasEvent(pid, 15) && id != 46) Bad(Cat("cell ", id, ": path ", pid, " has a goal dot; only the goal cell 46 may"));
            }
        // Track run both ways must be the same track.
        for (int k = 0; k < 4; ++k)
            for (int e = 0; e < 4; ++e) {
                if (e == k) continue;
                std::set<std::pair<int, int>> fwd, back;
                for (int j = 0; j < 4; ++j) {
                    int p1 = cr.PathType[k][j];
                    if (p1 && t.PathPresent(Base(p1)) && t.path[Base(p1)].PathDir >= 0 && (k + t.path[Base(p1)].PathDir) % 4 == e)
                        for (auto px : Pixels(p1, k)) fwd.insert(px);
                    int p2 = cr.PathType[e][j];
                    if (p2 && t.PathPresent(Base(p2)) && t.path[Base(p2)].PathDir >= 0 && (e + t.path[Base(p2)].PathDir) % 4 == k)
                        for (auto px : Pixels(p2, e)) back.insert(px);
                }
                if (k < e && !fwd.empty() && !back.empty() && fwd != back)
                    Bad(Cat("cell ", id, ": the track from ", kSideName[k], " to ", kSideName[e], " is not the same track as the one back"));
            }
        // Pictures with fewer rotation frames need track that looks the same when turned.
        auto rowSet = [&](int k) {
            std::multiset<int> s;
            for (int j = 0; j < 4; ++j)
                if (cr.PathType[k][j]) s.insert(cr.PathType[k][j]);
            return s;
        };
        auto pixels = [&](int turn) {
            std::set<std::pair<int, int>> s;
            for (int k = 0; k < 4; ++k)
                for (int j = 0; j < 4; ++j)
                    if (cr.PathType[k][j])
                        for (auto [x, y] : Pixels(cr.PathType[k][j], k + turn)) s.insert({x, y});
            return s;
        };
        static const std::set<int> half{8, 15, 16, 19, 22, 38}, quarter{5, 10, 24, 33, 42};
        if (half.count(cr.CellId) || quarter.count(cr.CellId)) {
            int turn = half.count(cr.CellId) ? 2 : 1;
            bool same = true;
            for (int k = 0; k < 4; ++k) same = same && rowSet(k) == rowSet((k + turn) % 4);
            if (!same || pixels(0) != pixels(turn))
                Bad(Cat("cell ", id, " uses picture ", cr.CellId, ", which has ", turn == 2 ? "two rotation frames" : "one rotation frame",
                        ", but its track is not the same under a ", turn == 2 ? "half" : "quarter", " turn"));
            if (turn == 1 && (a & 96) != 0 && (a & 96) != 96)
                Bad(Cat("cell ", id, " uses the one-frame picture ", cr.CellId, " but its marsh runs one way only"));
        }
    }
    // Cells with a fixed role.
    if (!t.CellPresent(4)) Bad("cell 4 (start) is missing");
    else {
        if (!(t.cell[4].Cellattr & 128)) Bad("cell 4 (start) lacks the start bit 128");
        if (t.cell[4].PathType[0][0] != 2) Bad(Cat("cell 4 (start) must offer path 2 first from the east side, offers ", t.cell[4].PathType[0][0]));
        if (!(t.cell[4].Cellattr & 1)) Bad("cell 4 (start) must be fixed (bit 1)");
    }
    if (!t.CellPresent(46)) Bad("cell 46 (goal) is missing");
    else {
        if (!(t.cell[46].Cellattr & 1)) Bad("cell 46 (goal) must be fixed (bit 1)");
        for (int k = 0; k < 4; ++k) {
            bool any = false;
            for (int j = 0; j < 4; ++j) {
                int pid = t.cell[46].PathType[k][j];
                if (!pid) continue;
                any = true;
                if (!HasEvent(Base(pid), 15)) Bad(Cat("cell 46 (goal): path ", pid, " from the ", kSideName[k], " has no goal dot (event 15)"));
            }
            if (!any) Bad(Cat("cell 46 (goal) cannot be entered from the ", kSideName[k], " side"));
        }
    }
    if (!t.CellPresent(33)) Bad("cell 33 (hole) is missing");
    else {
        if (!(t.cell[33].Cellattr & 1)) Bad("cell 33 (hole) must be fixed (bit 1)");
        for (auto& row : t.cell[33].PathType)
            for (int16_t pid : row)
                if (pid && t.PathPresent(Base(pid)) && t.path[Base(pid)].PathDir != -1) Bad(Cat("cell 33 (hole) lets the vehicle through on path ", pid));
    }
    if (!t.CellPresent(30)) Bad("cell 30 (warp) is missing");
    else {
        if ((t.cell[30].Cellattr & 12) != 12) Bad("cell 30 (warp) must have both warp bits 4 and 8");
        if (!(t.cell[30].Cellattr & 1)) Bad("cell 30 (warp) must be fixed (bit 1)");
    }
}

void Checker::CheckConfig() {
    if (!c.hasSection) Bad("Ralvo.CFG has no [Config] section");
    auto lines = [&](const std::vector<CfgLine>& ls) {
        for (const auto& l : ls)
            if (!l.good) Bad(Cat("Ralvo.CFG: line ", l.key, " fails its check value (", l.row[0], "...)"));
    };
    lines(c.stage);
    lines(c.skill);
    lines(c.screen);
    lines(c.speed);
    lines(c.cell);
    if (!c.hasCheck) Bad("Ralvo.CFG: the key Check is missing");
    else if (c.fileCheck != c.computedCheck) Bad(Cat("Ralvo.CFG: the file check is ", c.fileCheck, " but must be ", c.computedCheck));
    for (const auto& k : c.unreadKeys) Bad("Ralvo.CFG: key " + k + " is never read (it follows a gap or means nothing)");

    if (c.stage.empty()) Bad("Ralvo.CFG: no Stage line");
    for (size_t i = 0; i < c.stage.size(); ++i) {
        const auto& r = c.stage[i].row;
        const std::string& k = c.stage[i].key;
        if (i > 0 && r[0] >= c.stage[i - 1].row[0]) Bad(Cat("Ralvo.CFG: ", k, " starts at stage ", r[0], "; rows must go from the highest first stage down"));
        if (r[1] <= 0) Bad(Cat("Ralvo.CFG: ", k, ": move interval ", r[1], " must be positive"));
        if (r[2] <= 4) Bad(Cat("Ralvo.CFG: ", k, ": time ", r[2], " s is gone before the ready countdown ends"));
        if (r[3] < 0 || r[4] <= 0 || r[5] < 0) Bad(Cat("Ralvo.CFG: ", k, ": demand and cost must not be negative and the pass score must be positive"));
        if (r[6] < 0 || r[7] < 0 || r[8] < 0) Bad(Cat("Ralvo.CFG: ", k, ": take-off, bomb and rock rates must not be negative"));
        if (r[9] < 0 || r[9] > 10) Bad(Cat("Ralvo.CFG: ", k, ": rock limit ", r[9], " is not 0..10"));
        if (r[10] < 0 || r[11] < 0) Bad(Cat("Ralvo.CFG: ", k, ": hole and warp shares must not be negative"));
    }
    if (!c.stage.empty() && c.stage.back().row[0] != 0) Bad("Ralvo.CFG: the last Stage line must start at stage 0");
    if (!c.stage.empty() && c.stage.back().row[0] == 0) {
        const auto& r = c.stage.back().row;
        if (r[6] != 0 || r[8] != 0) Bad("Ralvo.CFG: stage 0 must have no aeroplanes and no rocks (a first game)");
    }
    if (c.skill.size() != 3) Bad(Cat("Ralvo.CFG: needs the three Skill lines, has ", c.skill.size()));
    for (const auto& l : c.skill)
        for (int col : {1, 2, 4})
            if (l.row[col] <= 0) Bad(Cat("Ralvo.CFG: ", l.key, ": column ", col, " must be a positive percentage"));
    if (c.screen.empty()) Bad("Ralvo.CFG: no Screen line");
    if (c.screen.size() > 5) Bad(Cat("Ralvo.CFG: ", c.screen.size(), " Screen lines; the size menu has five items"));
    for (size_t i = 0; i < c.screen.size(); ++i) {
        const auto& r = c.screen[i].row;
        const std::string& k = c.screen[i].key;
        if (r[2] < 4 || r[2] > kMaxBoxX) Bad(Cat("Ralvo.CFG: ", k, ": ", r[2], " columns is not 4..", kMaxBoxX));
        if (r[3] < 5 || r[3] > kMaxBoxY) Bad(Cat("Ralvo.CFG: ", k, ": ", r[3], " rows is not 5..", kMaxBoxY, " (the next-cell panel needs five rows)"));
        int w = 81 * r[2] + 40 + 84 + 8, h = 81 * r[3] + 20 + 46;
        if (r[0] < w || r[1] < h) Bad(Cat("Ralvo.CFG: ", k, ": a ", r[2], " x ", r[3], " board needs a ", w, " x ", h, " window, more than the stated display ", r[0], " x ", r[1]));
        if (i > 0) {
            const auto& p = c.screen[i - 1].row;
            if (r[0] < p[0] || r[1] < p[1] || r[2] * r[3] < p[2] * p[3]) Bad(Cat("Ralvo.CFG: ", k, " is smaller than the size before it; sizes go from the smallest up"));
        }
        if (r[4] <= 0 || r[5] < 0 || r[6] < 0 || r[7] < 0) Bad(Cat("Ralvo.CFG: ", k, ": percentages must not be negative, time must be positive"));
    }
    if (c.speed.empty()) Bad("Ralvo.CFG: no Speed line");
    for (size_t i = 0; i < c.speed.size(); ++i) {
        const auto& r = c.speed[i].row;
        const std::string& k = c.speed[i].key;
        if (i > 0 && r[0] >= c.speed[i - 1].row[0]) Bad(Cat("Ralvo.CFG: ", k, ": thresholds must fall from the slowest band down"));
        if (r[1] <= 0) Bad(Cat("Ralvo.CFG: ", k, ": divisor ", r[1], " must be positive"));
        if (r[2] < 1 || r[3] < 1 || r[4] < 1) Bad(Cat("Ralvo.CFG: ", k, ": vehicle, aeroplane and rocks must move at least one dot per step"));
    }
    if (!c.speed.empty() && c.speed.back().row[0] != 0) Bad("Ralvo.CFG: the last Speed line must have threshold 0 (the spurt uses it)");

    if (c.cell.empty()) Bad("Ralvo.CFG: no Cell line");
    for (int skill = 0; skill < 3; ++skill) {
        long total = 0;
        for (const auto& l : c.cell) total += std::max(0, l.row[0] + skill * l.row[1]);
        if (total <= 0) Bad(Cat("Ralvo.CFG: no cell can be offered at skill ", skill));
        if (total > 32767) Bad(Cat("Ralvo.CFG: cell weights add up to ", total, " at skill ", skill, "; at most 32767 can be drawn from"));
    }
    for (size_t i = 0; i < c.cell.size(); ++i) {
        int id = static_cast<int>(i) + 1;
        const auto& r = c.cell[i].row;
        bool offered = false;
        for (int skill = 0; skill < 3; ++skill) offered = offered || r[0] + skill * r[1] > 0;
        if (!offered) continue;
        if (id > 50) Bad(Cat("cell ", id, " is offered but only pictures 1..50 exist"));
        if (!t.CellPresent(id)) {
            Bad(Cat("cell ", id, " is offered but CELL.DAT has no such cell"));
            continue;
        }
        if (t.cell[id].CellId != id) Bad(Cat("cell ", id, " is offered but its picture number (CellId) is ", t.cell[id].CellId, "; the offer panel would show another picture"));
        if (id == 4 || id == 30 || id == 33 || id == 46) Bad(Cat("cell ", id, " is placed by the board generator and must not be offered"));
        bool any = false;
        for (auto& row : t.cell[id].PathType)
            for (int16_t x : row) any = any || x != 0;
        if (!any) Bad(Cat("cell ", id, " is offered but has no track"));
    }
}

// Every stage must be clearable in time at every skill and size, and its board must have room.
void Checker::CheckBalance() {
    if (c.skill.size() != 3 || c.speed.empty() || c.screen.empty()) return;
    auto rnd = [](double x) {
        std::fesetround(FE_TONEAREST);
        return static_cast<long>(std::nearbyint(x));
    };
    for (const auto& sl : c.stage)
        for (int skill = 0; skill < 3; ++skill)
            for (size_t z = 0; z < c.screen.size(); ++z) {
                const auto& S = sl.row;
                const auto& K = c.skill[static_cast<size_t>(skill)].row;
                const auto& C = c.screen[z].row;
                long mti = rnd(S[1] * (K[1] / 100.0));
                long time = rnd(S[2] * (K[2] / 100.0) * (C[4] / 100.0));
                long going = rnd(-S[3] * (K[3] / 100.0) * (C[5] / 100.0));
                long pass = rnd(S[4] * (K[4] / 100.0));
                long hole = rnd(S[10] * (K[10] / 100.0) * (C[6] / 100.0));
                long warp = rnd(S[11] * (K[11] / 100.0) * (C[7] / 100.0));
                const ParamRow* band = &c.speed[0].row;
                for (const auto& l : c.speed)
                    if (mti >= l.row[0]) {
                        band = &l.row;
                        break;
                    }
                if ((*band)[1] <= 0 || (*band)[2] <= 0 || pass <= 0) continue;
                double stepMs = std::floor(static_cast<double>(mti) / (*band)[1]);
                double boxSec = stepMs * (81.0 / (*band)[2]) / 1000.0;
                long boxes = (-going + pass - 1) / pass;
                double need = 3 + (boxes + 2) * boxSec;
                std::string where = Cat("stage ", S[0], " at skill ", skill, " on screen ", z);
                if (need > time)
                    Bad(Cat(where, ": ", boxes, " boxes at ", boxSec, " s take about ", std::lround(need), " s but only ", time, " s are given"));
                long boxesOnBoard = static_cast<long>(C[2]) * C[3];
                long most = 2 + static_cast<long>(1.5 * hole / 100.0 * boxesOnBoard) + static_cast<long>(1.5 * warp / 100.0 * boxesOnBoard);
                if (most * 4 > boxesOnBoard)
                    Bad(Cat(where, ": up to ", most, " start, goal, hole and warp boxes on ", boxesOnBoard, " boxes; the board generator may run out of room"));
            }
}

}  // namespace

std::vector<std::string> CheckFiles(const DataFiles& files) {
    Tables t = DecodeTables(files);
    Config c = ReadConfig(files.cfg);
    Checker ck{t, c, {}};
    if (files.pathDat.size() % kPathRecLen) ck.Bad(Cat("PATH.DAT is ", files.pathDat.size(), " bytes, not a whole number of ", kPathRecLen, "-byte records"));
    if (files.cellDat.size() % kCellRecLen) ck.Bad(Cat("CELL.DAT is ", files.cellDat.size(), " bytes, not a whole number of ", kCellRecLen, "-byte records"));
    ck.CheckPaths();
    ck.CheckCells();
    ck.CheckConfig();
    ck.CheckBalance();
    return ck.v;
}

// ---------------------------------------------------------------- dump

namespace {

std::string Picture(const std::vector<std::pair<DotRec, int>>& dots) {
    // 27 x 27 characters, one per 3 x 3 pixels.
    std::vector<std::string> g(27, std::string(27, '.'));
    for (auto [d, mark] : dots) {
        char& ch = g[static_cast<size_t>(std::min(d.Yy / 3, 26))][static_cast<size_t>(std::min(d.Xx / 3, 26))];
        if (d.Flag) ch = '*';
        else if (ch == '.') ch = static_cast<char>(mark);
    }
    std::string out;
    for (const auto& row : g) out += "      " + row + "\n";
    return out;
}

}  // namespace

std::string DumpFiles(const DataFiles& files) {
    Tables t = DecodeTables(files);
    Config c = ReadConfig(files.cfg);
    std::ostringstream o;
    auto row = [&](const CfgLine& l, int n) {
        o << "  " << l.key;
        for (size_t k = l.key.size(); k < 9; ++k) o << ' ';
        for (int i = 0; i < n; ++i) {
            std::string s = std::to_string(l.row[i]);
            o << std::string(s.size() < 7 ? 7 - s.size() : 1, ' ') << s;
        }
        o << "   check " << l.row[n] << (l.good ? " ok" : " WRONG") << "\n";
    };
    o << "==== Ralvo.CFG ====\n";
    o << "Stage rows:       first  interval  time  demand  pass  onto  takeoff  bomb  rock  rocks  hole%  warp%\n";
    o << "                  (stage, ms per straight box, s, points, points per box, points per overlay, 1 in N per s, 1 in N per point, 1 in N per s, at most, % of boxes)\n";
    for (const auto& l : c.stage) row(l, 12);
    o << "Skill rows (percent of the stage columns: -, interval, time, demand, pass, onto, takeoff, bomb, rock, rocks, hole, warp):\n";
    for (const auto& l : c.skill) row(l, 12);
    o << "Screen rows (display width, height, columns, rows, time%, demand%, hole%, warp%):\n";
    for (const auto& l : c.screen) row(l, 8);
    o << "Speed rows (least interval, steps per interval, vehicle dots, plane dots, rock pixels per step):\n";
    for (const auto& l : c.speed) row(l, 5);
    o << "Cell weights (base, per skill) and the weight at beginner / normal / advanced:\n";
    long tot[3] = {0, 0, 0};
    for (const auto& l : c.cell) {
        int w[3];
        for (int s = 0; s < 3; ++s) tot[s] += w[s] = std::max(0, l.row[0] + s * l.row[1]);
        if (!w[0] && !w[1] && !w[2]) continue;
        o << "  " << l.key << "  " << l.row[0] << ", " << l.row[1] << "  ->  " << w[0] << " / " << w[1] << " / " << w[2] << (l.good ? "" : "   check WRONG") << "\n";
    }
    o << "  totals " << tot[0] << " / " << tot[1] << " / " << tot[2] << "  (" << c.cell.size() << " Cell lines; lines with weight 0 not shown)\n";
    o << "File check " << c.fileCheck << (c.hasCheck && c.fileCheck == c.computedCheck ? " ok" : " WRONG") << "\n\n";

    o << "==== PATH.DAT (" << t.pathRecords << " records) ====\n";
    o << "Dots are in the frame of a vehicle entering through the east side. Headings: 0 east, 4 south, 8 west, 12 north.\n";
    for (int id = 1; id <= kFilePaths; ++id) {
        if (!t.PathPresent(id)) {
            o << "path " << id << ": absent\n";
            continue;
        }
        const PathRec& p = t.path[id];
        static const char* turn[] = {"back out east", "exit south", "exit west (straight on)", "exit north"};
        o << "path " << id << ": " << (p.PathDir == -1 ? "dead end" : (p.PathDir >= 0 && p.PathDir <= 3 ? turn[p.PathDir] : "BAD TURN")) << ", "
          << p.PathLen << " dots, middle dot " << p.PathMid << "\n";
        int n = std::clamp<int>(p.PathLen, 0, kMaxDots);
        // Runs of dots with the same step and heading and no event.
        int i = 0;
        while (i < n) {
            int j = i;
            auto step = [&](int k) { return std::make_pair(p.Dot[k + 1].Xx - p.Dot[k].Xx, p.Dot[k + 1].Yy - p.Dot[k].Yy); };
            while (j + 1 < n && p.Dot[j + 1].Flag == p.Dot[i].Flag && p.Dot[j + 1].Angle == p.Dot[i].Angle && (j == i || step(j) == step(i))) ++j;
            const DotRec& a = p.Dot[i];
            const DotRec& b = p.Dot[j];
            o << "    " << (j > i ? Cat("dots ", i, "-", j) : Cat("dot ", i)) << ": (" << int(a.Xx) << "," << int(a.Yy) << ")";
            if (j > i) o << " .. (" << int(b.Xx) << "," << int(b.Yy) << ")";
            o << " heading " << int(a.Angle);
            if (a.Flag) o << "   EVENT " << int(a.Flag) << " " << EventLabel(a.Flag);
            o << "\n";
            i = j + 1;
        }
        std::vector<std::pair<DotRec, int>> pic;
        for (int k = 0; k < n; ++k) pic.push_back({p.Dot[k], 'o'});
        o << Picture(pic);
    }
    o << "\n==== CELL.DAT (" << t.cellRecords << " records) ====\n";
    o << "Paths by the side of the unrotated cell a vehicle enters through.\n";
    static const std::pair<int, const char*> bits[] = {{1, "fixed"},    {2, "turntable"}, {4, "warpA"},  {8, "warpB"},
                                                       {32, "marshEW"}, {64, "marshNS"},  {128, "start"}, {256, "marker"}};
    for (int id = 1; id <= kFileCells; ++id) {
        if (!t.CellPresent(id)) continue;
        const CellRec& cr = t.cell[id];
        o << "cell " << id << ": picture " << cr.CellId << ", attributes " << cr.Cellattr;
        std::string names;
        for (auto [b, name] : bits)
            if (cr.Cellattr & b) names += names.empty() ? name : std::string("+") + name;
        if (!names.empty()) o << " (" << names << ")";
        o << "\n   ";
        for (int k = 0; k < 4; ++k) {
            o << " " << kSideName[k] << ":";
            bool any = false;
            for (int j = 0; j < 4; ++j)
                if (cr.PathType[k][j]) o << (any ? "," : " ") << cr.PathType[k][j], any = true;
            if (!any) o << " -";
        }
        o << "\n";
        std::vector<std::pair<DotRec, int>> pic;
        for (int k = 0; k < 4; ++k)
            for (int j = 0; j < 4; ++j) {
                int pid = cr.PathType[k][j];
                int b = pid > kFilePaths ? pid - kFilePaths : pid;
                if (!t.PathPresent(b)) continue;
                for (int i = 0; i < std::clamp<int>(t.path[b].PathLen, 0, kMaxDots); ++i) pic.push_back({Turn(t.path[b].Dot[i], k), 'o'});
            }
        o << Picture(pic);
    }
    return o.str();
}

}  // namespace ralvo::dataset
