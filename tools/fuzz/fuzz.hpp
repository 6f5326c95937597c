// The fuzzer's shared parts: its own generator, the mutators, the play-through every
// accepted campaign gets, and the targets (the readers being fuzzed).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/game.hpp"

namespace reedmark::fuzz {

// splitmix64: the fuzzer's generator, the same sequence on every machine.
class TFuzzRandom {
public:
    explicit TFuzzRandom(std::uint64_t seed) : x_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (x_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0..n-1 (0 when n < 1).
    int Below(int n) { return n < 1 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& v) {
        return v[static_cast<size_t>(Below(static_cast<int>(v.size())))];
    }

private:
    std::uint64_t x_;
};

// 64-bit FNV-1a of an input: the seed of everything a run decides, so that a kept
// input replays exactly.
std::uint64_t Hash64(const std::string& bytes);

// [SECTION] Mutations

// Applies `count` structure-aware mutations to doc: values of other types, huge,
// negative and boundary numbers, ids just out of range, arrays cut, repeated or
// reordered, members removed or added, subtrees grafted from a donor document.
void MutateJson(TJson& doc, const TJson& donor, TFuzzRandom& rng, int count);
// A mutation count: mostly one to three, now and then many.
int MutationCount(TFuzzRandom& rng);
// Raw byte damage: flipped bits, bytes replaced, inserted, deleted, repeated, a cut end.
std::string DamageBytes(std::string text, TFuzzRandom& rng);
// A number where readers change behaviour (edges of ranges, of 32 and 64 bits, floats).
TJson InterestingNumber(TFuzzRandom& rng);
// A value of a random kind: null, booleans, odd texts, containers, numbers.
TJson RandomValue(TFuzzRandom& rng);

// [SECTION] Play-through

// What an accepted input is put through, driven by rng: order checks and previews,
// computer steps (battle AI steps while a battle is open), human actions through the
// public operations, the derived index check, Validate, and when the campaign is valid
// a save to scratchPath and a load back that must give the same checksum. Throws
// TFailure on a broken expectation; every other exception escapes as it is.
void PlayThrough(TGame& game, TFuzzRandom& rng, const std::string& scratchPath);

struct TFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// [SECTION] Targets

enum class TVerdict { kRefused, kAccepted };

// One reader under test. The driver asks for an input, writes it to InputPath() and
// hands it to Run, which reports whether the reader refused or accepted it; a failure
// is an exception (anything but the reader's TGameError refusal).
class TTarget {
public:
    virtual ~TTarget() = default;
    // Writes the fixed files the reader needs into the work directory.
    virtual void Setup() = 0;
    // Makes the seeds the inputs are mutated from (not needed to replay one input).
    virtual void MakeSeeds(TFuzzRandom&) {}
    // A new input made from the seeds.
    virtual std::string NextInput(TFuzzRandom& rng) = 0;
    // Where the input is written before Run reads it.
    virtual std::string InputPath() const = 0;
    // The file name extension of an input, for the kept reproducers.
    virtual std::string Extension() const { return "json"; }
    virtual TVerdict Run(const std::string& input) = 0;
    // Called now and then on long runs: new seeds from new campaigns.
    virtual void Refresh(TFuzzRandom&) {}
};

// "save", "world", "rules", "settings", "png" or "wav"; nullptr for an unknown name.
// workDir exists.
std::unique_ptr<TTarget> MakeTarget(const std::string& name, const std::string& workDir);
// The targets of the files the window reads: settings, PNG sheets and WAV tracks.
std::unique_ptr<TTarget> MakeSettingsTarget(const std::string& workDir);
std::unique_ptr<TTarget> MakePngTarget(const std::string& workDir);
std::unique_ptr<TTarget> MakeWavTarget(const std::string& workDir);

}  // namespace reedmark::fuzz
