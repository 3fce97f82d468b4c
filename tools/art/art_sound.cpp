// Sound effects synthesised from a few layered voices.
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

#include "art.h"

namespace ralvo::art {
namespace {

constexpr int kRate = 22050;

struct Voice {
    std::string wave = "sine";
    double at = 0, dur = 0, amp = 1, f0 = 440, f1 = 440, attack = 0.001, decay = 1, vibrato = 0;
    uint32_t seed = 1;
};

struct SoundDef {
    std::string name;
    double length = 0.5, peak = 0.6;
    std::vector<Voice> voices;
};

Voice ParseVoice(std::istringstream& is, const std::string& line) {
    Voice v;
    std::string kv;
    while (is >> kv) {
        const size_t eq = kv.find('=');
        if (eq == std::string::npos) throw ArtError("bad voice: " + line);
        const std::string k = kv.substr(0, eq), val = kv.substr(eq + 1);
        if (k == "wave") v.wave = val;
        else if (k == "at") v.at = std::stod(val);
        else if (k == "dur") v.dur = std::stod(val);
        else if (k == "amp") v.amp = std::stod(val);
        else if (k == "f0") v.f0 = std::stod(val);
        else if (k == "f1") v.f1 = std::stod(val);
        else if (k == "attack") v.attack = std::stod(val);
        else if (k == "decay") v.decay = std::stod(val);
        else if (k == "vibrato") v.vibrato = std::stod(val);
        else if (k == "seed") v.seed = static_cast<uint32_t>(std::stoul(val));
        else throw ArtError("unknown voice key " + k);
    }
    if (v.wave != "sine" && v.wave != "square" && v.wave != "triangle" && v.wave != "noise")
        throw ArtError("unknown wave " + v.wave);
    return v;
}

std::vector<SoundDef> ParseSounds(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw ArtError("cannot read " + path);
    std::vector<SoundDef> defs;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream is(line);
        std::string word;
        if (!(is >> word) || word[0] == '#') continue;
        if (word[0] == '[') {
            defs.push_back({});
            defs.back().name = word.substr(1, word.size() - 2);
            continue;
        }
        if (defs.empty()) throw ArtError("sound line before a [Name]: " + line);
        if (word == "length") is >> defs.back().length;
        else if (word == "peak") is >> defs.back().peak;
        else if (word == "voice") defs.back().voices.push_back(ParseVoice(is, line));
        else throw ArtError("unknown sound line: " + line);
    }
    return defs;
}

void Render(const Voice& v, std::vector<double>& out) {
    const int start = static_cast<int>(std::lround(v.at * kRate));
    const int count = static_cast<int>(std::lround(v.dur * kRate));
    double phase = 0, lp = 0;
    uint32_t rng = v.seed * 2654435761u + 12345u;
    for (int i = 0; i < count && start + i < static_cast<int>(out.size()); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double frac = v.dur > 0 ? t / v.dur : 0;
        double f = v.f0 * std::pow(v.f1 / v.f0, frac);
        double env = t < v.attack ? t / v.attack : std::exp(-(t - v.attack) / v.decay);
        env *= std::min(1.0, (v.dur - t) / 0.006);  // no click at the end of a layer
        double s = 0;
        if (v.wave == "noise") {
            rng ^= rng << 13;
            rng ^= rng >> 17;
            rng ^= rng << 5;
            const double white = (rng & 0xffff) / 32768.0 - 1.0;
            const double alpha = 1.0 - std::exp(-2.0 * std::numbers::pi * f / kRate);
            lp += alpha * (white - lp);
            s = lp;
        } else {
            f += v.vibrato * std::sin(2 * std::numbers::pi * 7.0 * t);
            phase += f / kRate;
            phase -= std::floor(phase);
            if (v.wave == "sine") s = std::sin(2 * std::numbers::pi * phase);
            else if (v.wave == "square") s = phase < 0.5 ? 0.8 : -0.8;
            else s = 4 * std::abs(phase - 0.5) - 1;
        }
        out[static_cast<size_t>(start + i)] += v.amp * env * s;
    }
}

void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xff));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, static_cast<uint16_t>(v & 0xffff));
    Put16(b, static_cast<uint16_t>(v >> 16));
}

}  // namespace

std::vector<Wave> SynthesiseSounds(const std::string& path) {
    std::vector<Wave> waves;
    for (const SoundDef& def : ParseSounds(path)) {
        std::vector<double> buf(static_cast<size_t>(std::lround(def.length * kRate)), 0.0);
        for (const Voice& v : def.voices) Render(v, buf);
        double peak = 0;
        for (double s : buf) peak = std::max(peak, std::abs(s));
        const double gain = peak > 0 ? def.peak * 32767.0 / peak : 0;
        Wave w;
        w.name = def.name;
        for (double s : buf) w.samples.push_back(static_cast<int16_t>(std::lround(s * gain)));
        waves.push_back(std::move(w));
    }
    return waves;
}

std::vector<uint8_t> EncodeWav(const Wave& w) {
    std::vector<uint8_t> b;
    const uint32_t dataBytes = static_cast<uint32_t>(w.samples.size() * 2);
    for (char c : std::string("RIFF")) b.push_back(static_cast<uint8_t>(c));
    Put32(b, 36 + dataBytes);
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<uint8_t>(c));
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, 1);  // mono
    Put32(b, kRate);
    Put32(b, kRate * 2);
    Put16(b, 2);
    Put16(b, 16);
    for (char c : std::string("data")) b.push_back(static_cast<uint8_t>(c));
    Put32(b, dataBytes);
    for (int16_t s : w.samples) Put16(b, static_cast<uint16_t>(s));
    return b;
}

}  // namespace ralvo::art
