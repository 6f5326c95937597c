// musicgen scores: the text form of a track (tempo, voices, phrases, notes) and its reader.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace musicgen {

// One sounding event of a voice. Times are in beats from the start of the loop.
struct TNote {
    double start = 0;
    double length = 0;
    std::vector<double> hertz;  // one per chord tone; empty for an unpitched hit ('x')
    double velocity = 0;
};

struct TVoice {
    std::string name;
    std::string instrument;
    std::map<std::string, double> params;  // numeric settings: gain, send, decay, bright, gate...
    std::vector<TNote> notes;

    double Param(const std::string& key, double fallback) const {
        auto it = params.find(key);
        return it == params.end() ? fallback : it->second;
    }
};

struct TScore {
    double tempo = 90;  // beats per minute
    int meter = 4;      // beats per bar
    int bars = 16;      // length of the loop
    double room = 0.8;  // reverb size, 0..0.95
    double damp = 0.4;  // reverb damping, 0..1
    uint32_t seed = 1;  // for breath, bow and drum noise and for humanised timing
    std::vector<TVoice> voices;

    double Beats() const { return static_cast<double>(meter) * bars; }
    double Seconds() const { return Beats() * 60.0 / tempo; }
};

// Reads a score file; throws std::runtime_error with "file:line: message" on any fault.
// knownInstrument decides which instrument names a voice may use.
TScore ReadScore(const std::string& path, const std::function<bool(const std::string&)>& knownInstrument);

// Frequency of a pitch name such as "A4", "F#3" or "Bb2" (A4 = 440 Hz); throws on a bad name.
double PitchHertz(const std::string& name);

}  // namespace musicgen
