// musicgen synthesis: plucked strings, flute, bowed fiddle, reed organ, bells, gong and drums,
// a small reverb, and the folding of every tail back into the loop.
#include "synth.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>
#include <stdexcept>

namespace musicgen {
namespace {

constexpr double kRate = kSampleRate;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kMaxSound = 9.0;          // seconds; no single note rings longer
constexpr double kTail = 10.0;             // seconds rendered past the loop end before folding
constexpr double kLn1000 = 6.907755;       // e-folds to -60 dB: amplitude exp(-kLn1000 * t / T60)
constexpr double kLowest = 8;              // hertz
constexpr double kHighest = 0.45 * kRate;  // hertz, safely below half the sample rate

// [SECTION] Helpers

// Deterministic white noise in [-1, 1).
class TNoise {
   public:
    explicit TNoise(uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

   private:
    uint32_t state_;
};

// One struck or held tone handed to an instrument.
struct TStrike {
    double hertz = 0;
    double hold = 0;      // seconds until the player lets go
    double velocity = 0;  // 0..1
    double from = 0;      // for a slurred fiddle note: the pitch it slides from
    double origin = 0;    // seconds from the loop start to the first sample
    double loop = 1;      // seconds in the loop
};

// An oscillator whose phase follows the loop clock: its frequency is nudged (by at most
// half a cycle per loop, a few hundredths of a hertz) to a whole number of cycles per loop,
// so it is the same on both sides of the wrap, and every note of that pitch continues the
// same wave. Each pitch gets its own starting phase; if all of them started at zero, every
// partial of every chord would line up once per loop into an audible spike.
struct TLoopOscillator {
    double cycles = 0;  // per loop
    double offset = 0;
    double loop = 1;
    TLoopOscillator(double hertz, double loopSeconds) : loop(loopSeconds) {
        cycles = std::max(1.0, std::round(hertz * loop));
        offset = cycles * 0.6180339887498949;  // golden-ratio spacing keeps the phases apart
        offset -= std::floor(offset);
    }
    double Phase(double clock) const { return cycles * clock / loop + offset; }  // in cycles
};

// Raised-cosine ramp 0 -> 1 over [0, width].
double Ramp(double t, double width) {
    if (t <= 0) return 0;
    if (t >= width) return 1;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * t / width);
}

// Held-note envelope: soft attack, sustain until hold, soft release.
double HeldEnvelope(double t, double hold, double attack, double release) {
    double level = Ramp(t, attack);
    if (t > hold) level *= 1.0 - Ramp(t - hold, release);
    return level;
}

// Sine of a phase given in cycles, read from a table: far cheaper than std::sin and, with
// linear interpolation, accurate to better than a part in a million.
double Sine(double cycles) {
    static constexpr int kSize = 4096;
    static const std::vector<double> table = [] {
        std::vector<double> t(kSize + 1);
        for (int i = 0; i <= kSize; ++i) t[i] = std::sin(kTwoPi * i / kSize);
        return t;
    }();
    double x = (cycles - std::floor(cycles)) * kSize;
    int i = std::min(static_cast<int>(x), kSize - 1);
    return table[i] + (x - i) * (table[i + 1] - table[i]);
}

// Exponential decay kept as a running product, one multiplication per sample.
class TDecay {
   public:
    static TDecay T60(double seconds) { return TDecay(std::exp(-kLn1000 / (seconds * kRate))); }
    static TDecay Tau(double seconds) { return TDecay(std::exp(-1.0 / (seconds * kRate))); }
    double Next() {
        double value = level_;
        level_ *= factor_;
        return value;
    }

   private:
    explicit TDecay(double factor) : factor_(factor) {}
    double level_ = 1;
    double factor_;
};

size_t Samples(double seconds) {
    return static_cast<size_t>(std::max(0.0, seconds) * kRate);
}

// Adds a sound of n samples at `at`, produced sample by sample by f(i, t).
template <typename F>
void Emit(std::vector<double>& out, size_t at, size_t n, F&& f) {
    n = std::min(n, out.size() > at ? out.size() - at : 0);
    for (size_t i = 0; i < n; ++i) out[at + i] += f(i, static_cast<double>(i) / kRate);
}

// [SECTION] Instruments

// Plucked zither string: Karplus-Strong with an all-pass tuning tap, so every pitch is in tune.
void Pluck(const TVoice& voice, const TStrike& s, TNoise& noise, std::vector<double>& out, size_t at) {
    double t60 = voice.Param("decay", 2.5);
    double bright = voice.Param("bright", 0.5);
    bool ring = voice.Param("ring", 1) != 0;
    double period = kRate / s.hertz;
    int n = std::max(2, static_cast<int>(std::floor(period - 0.6)));
    double fraction = period - 0.5 - n;
    double tune = (1 - fraction) / (1 + fraction);
    double loss = std::pow(10.0, -3.0 / (t60 * s.hertz)) / std::cos(std::numbers::pi * s.hertz / kRate);
    loss = std::min(loss, 0.99995);

    // Excitation: noise softened by a one-pole low-pass, and combed at the plucking point.
    std::vector<double> line(static_cast<size_t>(n));
    double smooth = 0;
    double k = 0.15 + 0.8 * bright;
    for (double& v : line) {
        smooth += k * (noise.Next() - smooth);
        v = smooth;
    }
    int offset = std::max(1, static_cast<int>(n * 0.13));
    std::vector<double> combed(line.size());
    double mean = 0, peak = 1e-9;
    for (int i = 0; i < n; ++i) combed[i] = line[i] - line[(i + offset) % n], mean += combed[i];
    mean /= n;
    for (double& v : combed) v -= mean, peak = std::max(peak, std::fabs(v));
    for (int i = 0; i < n; ++i) line[i] = combed[i] / peak;

    double length = ring ? std::min(t60 * 1.2 + 0.05, kMaxSound) : s.hold + 0.05;
    size_t samples = Samples(length);
    size_t pos = 0;
    double previous = 0, apIn = 0, apOut = 0;
    Emit(out, at, samples, [&](size_t, double t) {
        double v = line[pos];
        double filtered = loss * 0.5 * (v + previous);
        previous = v;
        double tuned = tune * filtered + apIn - tune * apOut;
        apIn = filtered;
        apOut = tuned;
        line[pos] = tuned;
        pos = pos + 1 == line.size() ? 0 : pos + 1;
        double fade = 1.0 - Ramp(t - (length - 0.04), 0.04);
        return v * s.velocity * Ramp(t, 0.003) * fade;
    });
}

// Transverse flute: a breathy near-sine with a chiff at the start and late vibrato.
void Flute(const TVoice& voice, const TStrike& s, TNoise& noise, std::vector<double>& out, size_t at) {
    double attack = voice.Param("attack", 0.07);
    double release = voice.Param("release", 0.14);
    double bright = voice.Param("bright", 0.5);
    double breath = voice.Param("breath", 0.06);
    double phase = 0, low = 0, band = 0;
    TDecay chiff = TDecay::Tau(0.03);
    Emit(out, at, Samples(s.hold + release), [&](size_t, double t) {
        double vibrato = 0.005 * Ramp(t - 0.25, 0.5) * Sine(5.1 * t);
        phase += s.hertz * (1 + vibrato) / kRate;
        double tone = Sine(phase) + 0.25 * bright * Sine(2 * phase) + 0.1 * bright * Sine(3 * phase);
        low += 0.35 * (noise.Next() - low);
        band += 0.05 * (low - band);
        double air = (low - band) * (breath + 0.3 * chiff.Next());
        double swell = 0.9 + 0.1 * Ramp(t, 0.6);
        return (tone * swell + air) * s.velocity * HeldEnvelope(t, s.hold, attack, release);
    });
}

// Sum of weight[k] * sin(k x) for k = 1..count, by the Chebyshev recurrence: one table
// sine and one table cosine per sample however many harmonics there are.
using THarmonics = std::array<double, 15>;  // weights of harmonics 1..14; [0] unused

double Harmonics(double cycles, const THarmonics& weight, int count) {
    double c2 = 2 * Sine(cycles + 0.25), previous = 0, current = Sine(cycles), sum = 0;
    for (int k = 1; k <= count; ++k) {
        sum += weight[static_cast<size_t>(k)] * current;
        double next = c2 * current - previous;
        previous = current;
        current = next;
    }
    return sum;
}

// Two-string bowed fiddle: band-limited sawtooth with a nasal formant, delayed vibrato and
// a short slide when a note is slurred from the previous one.
void Fiddle(const TVoice& voice, const TStrike& s, TNoise& noise, std::vector<double>& out, size_t at) {
    double attack = voice.Param("attack", 0.09);
    double release = voice.Param("release", 0.16);
    double bright = voice.Param("bright", 0.5);
    int harmonics = std::clamp(static_cast<int>(0.45 * kRate / s.hertz), 1, 14);
    THarmonics weight{};
    for (int k = 1; k <= harmonics; ++k) {
        double formant = 1 + 1.5 * bright * std::exp(-std::pow((k * s.hertz - 1100) / 450, 2));
        weight[static_cast<size_t>(k)] = formant / (k * std::sqrt(1.0 * k)) * 1.8;
    }
    double phase = 0, low = 0;
    double from = s.from > 0 ? s.from : s.hertz;
    Emit(out, at, Samples(s.hold + release), [&](size_t, double t) {
        double hertz = t < 0.08 ? s.hertz * std::pow(from / s.hertz, 1 - Ramp(t, 0.08)) : s.hertz;
        double vibrato = 0.007 * Ramp(t - 0.2, 0.4) * Sine(5.6 * t);
        phase += hertz * (1 + vibrato) / kRate;
        if (phase >= 1) phase -= 1;
        low += 0.2 * (noise.Next() - low);
        return (Harmonics(phase, weight, harmonics) + 0.08 * low) * s.velocity *
               HeldEnvelope(t, s.hold, attack, release);
    });
}

// Mouth-organ reed pad for chords and drones: two slightly detuned reeds, slow breath swell.
void Reed(const TVoice& voice, const TStrike& s, TNoise&, std::vector<double>& out, size_t at) {
    static constexpr std::array<double, 8> kBase = {1, 0.55, 0.42, 0.3, 0.22, 0.15, 0.1, 0.07};
    double attack = voice.Param("attack", 0.4);
    double release = voice.Param("release", 0.7);
    double bright = voice.Param("bright", 0.5);
    int harmonics = std::clamp(static_cast<int>(0.45 * kRate / s.hertz), 1, 8);
    THarmonics weight{};
    for (int k = 1; k <= harmonics; ++k)
        weight[static_cast<size_t>(k)] = kBase[static_cast<size_t>(k - 1)] * (k == 1 ? 1 : 0.3 + 1.4 * bright);
    // Reed phases follow the loop clock, so held chords that overlap or cross the wrap
    // add up in phase instead of dipping where one note fades into the next.
    const TLoopOscillator upper(s.hertz * 1.0017, s.loop), lower(s.hertz * 0.9983, s.loop);
    const TLoopOscillator sway(0.3, s.loop);
    Emit(out, at, Samples(s.hold + release), [&](size_t, double t) {
        double clock = s.origin + t;
        double reeds =
            Harmonics(upper.Phase(clock), weight, harmonics) + Harmonics(lower.Phase(clock), weight, harmonics);
        double tremolo = 1 + 0.05 * Sine(sway.Phase(clock));
        return 0.5 * reeds * tremolo * s.velocity * HeldEnvelope(t, s.hold, attack, release);
    });
}

// Temple bell: two-operator FM with an inharmonic ratio and a fading modulation index.
void Bell(const TVoice& voice, const TStrike& s, TNoise&, std::vector<double>& out, size_t at) {
    double t60 = voice.Param("decay", 2.0);
    double ratio = voice.Param("ratio", 1.4);
    double bright = voice.Param("bright", 0.5);
    double index = (0.6 + 3.0 * bright) / kTwoPi;  // in cycles
    double length = std::min(t60 * 1.05, kMaxSound);
    TDecay sound = TDecay::T60(t60), brightness = TDecay::Tau(0.3 * t60), strike = TDecay::Tau(0.08 * t60);
    Emit(out, at, Samples(length), [&](size_t, double t) {
        double modulation = index * brightness.Next() * Sine(s.hertz * ratio * t);
        double body = Sine(s.hertz * t + modulation) + 0.25 * strike.Next() * Sine(s.hertz * 2.76 * t);
        double fade = 1.0 - Ramp(t - (length - 0.05), 0.05);
        return body * sound.Next() * Ramp(t, 0.002) * fade * s.velocity;
    });
}

// Bronze gong: inharmonic partials that bloom in after the strike, slow beating, a pitch
// that settles after the blow, long decay.
void Gong(const TVoice& voice, const TStrike& s, TNoise& noise, std::vector<double>& out, size_t at) {
    static constexpr size_t kPartials = 7;
    static constexpr std::array<double, kPartials> kRatio = {1, 1.47, 2.09, 2.56, 3.17, 4.08, 5.21};
    static constexpr std::array<double, kPartials> kLevel = {1, 0.7, 0.55, 0.45, 0.35, 0.25, 0.15};
    static constexpr std::array<double, kPartials> kLife = {1, 0.8, 0.7, 0.55, 0.45, 0.35, 0.25};
    double t60 = voice.Param("decay", 6.0);
    double bright = voice.Param("bright", 0.5);
    double length = std::min(t60, kMaxSound);
    std::vector<TDecay> decay, bloom;
    std::array<double, kPartials> level{};
    size_t count = 0;
    for (; count < kPartials && s.hertz * kRatio[count] < 0.45 * kRate; ++count) {
        decay.push_back(TDecay::T60(t60 * kLife[count]));
        bloom.push_back(TDecay::Tau(0.04 + 0.07 * count));
        level[count] = kLevel[count] * (count == 0 ? 1 : 0.5 + bright);
    }
    TDecay settle = TDecay::Tau(0.3), strike = TDecay::Tau(0.05);
    double low = 0;
    Emit(out, at, Samples(length), [&](size_t, double t) {
        double cycles = s.hertz * (t + 0.0045 * (1 - settle.Next()));  // the pitch sinks by 1.5% as it settles
        double sum = 0;
        for (size_t k = 0; k < count; ++k) {
            double grown = k == 0 ? 1 : 1 - bloom[k].Next();
            double partial = kRatio[k] * cycles;
            double beating = Sine(partial) + 0.6 * Sine(partial + (0.35 + 0.1 * k) * t);
            sum += level[k] * grown * beating * decay[k].Next();
        }
        low += 0.3 * (noise.Next() - low);
        double fade = 1.0 - Ramp(t - (length - 0.1), 0.1);
        return (0.6 * sum + 0.8 * low * strike.Next()) * Ramp(t, 0.004) * fade * s.velocity;
    });
}

// Barrel drum or hand drum: a skin tone that drops in pitch, an overtone and a slap of noise.
void Drum(const TVoice& voice, const TStrike& s, TNoise& noise, std::vector<double>& out, size_t at) {
    double t60 = voice.Param("decay", 0.4);
    double bend = voice.Param("bend", 0.6);
    double bright = voice.Param("bright", 0.5);
    double phase = 0, low = 0;
    double length = std::min(t60 * 1.05, kMaxSound);
    TDecay drop = TDecay::Tau(0.035), body = TDecay::T60(t60), overtone = TDecay::Tau(0.1 * t60);
    TDecay slap = TDecay::Tau(0.012);
    Emit(out, at, Samples(length), [&](size_t, double t) {
        phase += s.hertz * (1 + bend * drop.Next()) / kRate;
        double skin = Sine(phase) + 0.35 * Sine(1.59 * phase) * overtone.Next();
        low += 0.5 * (noise.Next() - low);
        double hit = low * slap.Next() * (0.2 + 0.8 * bright);
        double fade = 1.0 - Ramp(t - (length - 0.02), 0.02);
        return (skin * body.Next() + hit) * Ramp(t, 0.001) * fade * s.velocity;
    });
}

// Wooden clapper block: a few short, high wooden modes and a click.
void Block(const TVoice& voice, const TStrike& s, TNoise& noise, std::vector<double>& out, size_t at) {
    double t60 = voice.Param("decay", 0.12);
    TDecay ring = TDecay::T60(t60), click = TDecay::Tau(0.002);
    Emit(out, at, Samples(t60), [&](size_t, double t) {
        double w = s.hertz * t;
        double body = Sine(w) + 0.5 * Sine(2.71 * w) + 0.2 * Sine(4.13 * w);
        double fade = 1.0 - Ramp(t - (t60 - 0.01), 0.01);
        return (body * ring.Next() + 0.5 * noise.Next() * click.Next()) * Ramp(t, 0.0005) * fade * s.velocity;
    });
}

// Seed shaker: high-passed noise in a short envelope.
void Shaker(const TVoice& voice, const TStrike& s, TNoise& noise, std::vector<double>& out, size_t at) {
    double t60 = voice.Param("decay", 0.09);
    double bright = voice.Param("bright", 0.5);
    double previous = 0, low = 0;
    TDecay decay = TDecay::T60(t60);
    Emit(out, at, Samples(t60), [&](size_t, double t) {
        double n = noise.Next();
        double high = n - previous;
        previous = n;
        low += (0.3 + 0.6 * bright) * (high - low);
        double fade = 1.0 - Ramp(t - (t60 - 0.01), 0.01);
        return low * Ramp(t, 0.006) * decay.Next() * fade * s.velocity;
    });
}

// Small cymbal: noise shimmer over a cluster of inharmonic ringing partials.
void Cymbal(const TVoice& voice, const TStrike& s, TNoise& noise, std::vector<double>& out, size_t at) {
    static constexpr std::array<double, 6> kRatio = {1, 1.48, 1.97, 2.63, 3.31, 4.07};
    double t60 = voice.Param("decay", 1.2);
    double length = std::min(t60, kMaxSound);
    double previous = 0;
    TDecay decay = TDecay::T60(t60);
    Emit(out, at, Samples(length), [&](size_t, double t) {
        double sum = 0;
        for (double r : kRatio)
            if (s.hertz * r < 0.45 * kRate) sum += Sine(s.hertz * r * t);
        double n = noise.Next();
        double hiss = n - previous;
        previous = n;
        double fade = 1.0 - Ramp(t - (length - 0.05), 0.05);
        return (0.15 * sum + 0.5 * hiss) * decay.Next() * Ramp(t, 0.001) * fade * s.velocity;
    });
}

using TInstrument = void (*)(const TVoice&, const TStrike&, TNoise&, std::vector<double>&, size_t);

struct TInstrumentInfo {
    TInstrument render;
    double pitch;  // default pitch of an unpitched hit ('x')
};

const std::map<std::string, TInstrumentInfo>& Instruments() {
    static const std::map<std::string, TInstrumentInfo> table = {
        {"pluck", {Pluck, 220}}, {"flute", {Flute, 440}},   {"fiddle", {Fiddle, 440}}, {"reed", {Reed, 220}},
        {"bell", {Bell, 880}},   {"gong", {Gong, 90}},      {"drum", {Drum, 70}},      {"block", {Block, 900}},
        {"shaker", {Shaker, 0}}, {"cymbal", {Cymbal, 420}},
    };
    return table;
}

// [SECTION] Reverb

// Mono comb-and-all-pass hall, run around the loop twice so its state at the start of the
// kept lap is what the end of the loop leaves behind.
std::vector<double> Reverb(const std::vector<double>& send, double room, double damp) {
    static constexpr std::array<size_t, 8> kCombs = {558, 594, 638, 678, 711, 745, 778, 808};
    static constexpr std::array<size_t, 4> kAllPasses = {278, 220, 170, 112};
    std::vector<std::vector<double>> combs, allPasses;
    for (size_t length : kCombs) combs.emplace_back(length, 0.0);
    for (size_t length : kAllPasses) allPasses.emplace_back(length, 0.0);
    std::array<size_t, 8> combAt{};
    std::array<size_t, 4> allPassAt{};
    std::array<double, 8> store{};
    std::vector<double> wet(send.size());
    for (int lap = 0; lap < 2; ++lap) {
        for (size_t i = 0; i < send.size(); ++i) {
            double input = send[i] * 0.03;
            double sum = 0;
            for (size_t c = 0; c < combs.size(); ++c) {
                double out = combs[c][combAt[c]];
                store[c] = out * (1 - damp) + store[c] * damp;
                combs[c][combAt[c]] = input + store[c] * room;
                combAt[c] = (combAt[c] + 1) % combs[c].size();
                sum += out;
            }
            for (size_t a = 0; a < allPasses.size(); ++a) {
                double buffered = allPasses[a][allPassAt[a]];
                allPasses[a][allPassAt[a]] = sum + buffered * 0.5;
                allPassAt[a] = (allPassAt[a] + 1) % allPasses[a].size();
                sum = buffered - sum;
            }
            if (lap == 1) wet[i] = sum;
        }
    }
    return wet;
}

}  // namespace

bool KnownInstrument(const std::string& name) {
    return Instruments().count(name) != 0;
}

// [SECTION] The loop

std::vector<double> RenderLoop(const TScore& score) {
    const double secondsPerBeat = 60.0 / score.tempo;
    const size_t loop = Samples(score.Seconds());
    const size_t buffer = loop + Samples(kTail);
    std::vector<double> dry(loop, 0.0), send(loop, 0.0);
    for (size_t v = 0; v < score.voices.size(); ++v) {
        const TVoice& voice = score.voices[v];
        const TInstrumentInfo& instrument = Instruments().at(voice.instrument);
        TNoise noise(score.seed * 2654435761u + static_cast<uint32_t>(v) * 40503u + 1u);
        TNoise humanity(score.seed * 97u + static_cast<uint32_t>(v) * 131u + 7u);
        const double gain = voice.Param("gain", 0.5);
        const double gate = voice.Param("gate", 1.0);
        const double humanize = voice.Param("humanize", 0.0) / 1000.0;
        const double octave = std::pow(2.0, voice.Param("octave", 0.0));
        const double pitch = voice.Param("pitch", instrument.pitch);
        std::vector<double> sound(buffer, 0.0);
        double previousEnd = -1, previousHertz = 0;
        for (const TNote& note : score.voices[v].notes) {
            double start = note.start * secondsPerBeat + humanize * humanity.Next();
            double velocity = note.velocity * (1 + (humanize > 0 ? 0.06 * humanity.Next() : 0.0));
            // A note pushed before the loop start sounds at the end of the loop instead.
            long long first = std::llround(start * kRate);
            first %= static_cast<long long>(loop);
            if (first < 0) first += static_cast<long long>(loop);
            std::vector<double> tones = note.hertz;
            if (tones.empty()) tones.push_back(pitch);
            bool slurred = std::fabs(note.start - previousEnd) < 1e-6 && tones.size() == 1;
            for (double hertz : tones) {
                // (The shaker's hits have no pitch at all: 0.)
                if (hertz != 0 && !(hertz * octave >= kLowest && hertz * octave <= kHighest))
                    throw std::runtime_error("voice '" + voice.name + "' has a note at " +
                                             std::to_string(hertz * octave) + " Hz, outside 8..9922 Hz");
                TStrike strike{hertz * octave,
                               note.length * secondsPerBeat * gate,
                               std::clamp(velocity, 0.0, 1.2),
                               slurred ? previousHertz : 0,
                               static_cast<double>(first) / kRate,
                               static_cast<double>(loop) / kRate};
                instrument.render(voice, strike, noise, sound, static_cast<size_t>(first));
            }
            previousEnd = note.start + note.length;
            previousHertz = tones.front() * octave;
        }
        // Fold the part that rang past the loop end back onto its beginning.
        const double sendLevel = voice.Param("send", 0.3);
        for (size_t i = 0; i < buffer; ++i) {
            double value = sound[i] * gain;
            dry[i % loop] += value;
            send[i % loop] += value * sendLevel;
        }
    }
    std::vector<double> wet = Reverb(send, score.room, score.damp);
    double mean = 0;
    for (size_t i = 0; i < loop; ++i) {
        dry[i] += wet[i];
        mean += dry[i];
    }
    mean /= static_cast<double>(loop);
    for (double& value : dry) value -= mean;
    return dry;
}

}  // namespace musicgen
