// The fuzz targets of the window's own files: settings.json (LoadSettings, the key
// bindings, the volumes in the mixer) and the WAV tracks (ReadWavData and a few blocks
// of music mixed through a crossfade). Seeds are made here in code.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/fuzz/fuzz.hpp"
#include "ui/music.hpp"
#include "ui/settings.hpp"

namespace reedmark::fuzz {

namespace {

namespace fs = std::filesystem;

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Music data of n 16-bit samples: a saw wave, whole samples only.
std::vector<std::uint8_t> SawSamples(int n) {
    std::vector<std::uint8_t> data;
    for (int i = 0; i < n; ++i) {
        auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>((i * 977) % 60000 - 30000));
        data.push_back(static_cast<std::uint8_t>(v & 0xFF));
        data.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return data;
}

// [SECTION] Settings

const char* const kSettingsKeys[] = {"reducedMotion", "key0",          "key1",        "key2",  "key3",  "key4",
                                     "key5",          "effectsVolume", "musicVolume", "muted", "fastAI"};

class TSettingsTarget : public TTarget {
   public:
    explicit TSettingsTarget(const std::string& dir)
        : dir_(dir), input_(dir + "/settings.json"), scratch_(dir + "/scratch.json") {}

    void Setup() override { fs::create_directories(dir_); }

    void MakeSeeds(TFuzzRandom&) override {
        TSettings standard;
        StoreSettingsValues(standard);
        seeds_.push_back(standard.object);
        TSettings custom;
        custom.object = TJson::object();
        custom.object["theme"] = "dusk";
        custom.object["window"] = {{"w", 1280}, {"h", 800}, {"scale", 1.5}};
        custom.keys = {97, 100, 119, 115, 32, 8};
        custom.effectsVolume = 0;
        custom.musicVolume = 100;
        custom.muted = true;
        custom.fastAI = true;
        custom.reducedMotion = true;
        StoreSettingsValues(custom);
        seeds_.push_back(custom.object);
        seeds_.push_back(TJson{{"musicVolume", 35}});  // an older file with one key
    }

    std::string NextInput(TFuzzRandom& rng) override {
        TJson doc = rng.Pick(seeds_);
        int kind = rng.Below(100);
        if (kind < 15) return DamageBytes(rng.Chance(50) ? doc.dump() : doc.dump(2), rng);
        if (kind < 20) return Oversized(rng);
        if (kind < 55) {
            // A known key given a value of another kind or size.
            int edits = 1 + rng.Below(3);
            for (int i = 0; i < edits; ++i) {
                const char* key = kSettingsKeys[rng.Below(static_cast<int>(std::size(kSettingsKeys)))];
                if (rng.Chance(15))
                    doc.erase(key);
                else
                    doc[key] = rng.Chance(60) ? InterestingNumber(rng) : RandomValue(rng);
            }
        } else {
            MutateJson(doc, rng.Pick(seeds_), rng, MutationCount(rng));
        }
        return rng.Chance(30) ? doc.dump(rng.Below(5)) : doc.dump();
    }

    std::string InputPath() const override { return input_; }

    TVerdict Run(const std::string&) override {
        TSettings s;
        std::string message = LoadSettings(s, input_);
        if (!message.empty() && message != kSettingsUnreadable) throw TFailure("unexpected message: " + message);
        // What the shell does with settings, read or not: defaults fill in the rest.
        if (!s.object.is_object()) throw TFailure("the kept settings are not an object");
        if (s.effectsVolume < 0 || s.effectsVolume > 100 || s.musicVolume < 0 || s.musicVolume > 100)
            throw TFailure("a volume outside 0..100");
        Apply(s);
        SaveSettings(s, scratch_);
        TSettings again;
        if (!LoadSettings(again, scratch_).empty()) throw TFailure("the settings the game wrote cannot be read back");
        if (again.object != s.object || again.keys != s.keys || again.effectsVolume != s.effectsVolume ||
            again.musicVolume != s.musicVolume || again.muted != s.muted || again.fastAI != s.fastAI ||
            again.reducedMotion != s.reducedMotion)
            throw TFailure("the settings read back differ from those written");
        return message.empty() ? TVerdict::kAccepted : TVerdict::kRefused;
    }

   private:
    // Files the game never writes: too large, too deep, or large only once rewritten.
    static std::string Oversized(TFuzzRandom& rng) {
        switch (rng.Below(4)) {
            case 0: {
                int depth = 60 + rng.Below(10);
                return "{\"x\":" + std::string(static_cast<size_t>(depth), '[') +
                       std::string(static_cast<size_t>(depth), ']') + "}";
            }
            case 1:
                return "{\"pad\":\"" + std::string((1u << 20) - 10 + static_cast<size_t>(rng.Below(20)), 'p') + "\"}";
            case 2: {
                // Short number spellings the writer spells out in full.
                std::string text = "{\"musicVolume\":40,\"numbers\":[";
                size_t target = static_cast<size_t>(100000 + rng.Below(900000));
                while (text.size() < target) text += "1e9,";
                return text + "1]}";
            }
            default: return std::string(static_cast<size_t>(rng.Below(3)), ' ');
        }
    }

    void Apply(TSettings& s) {
        for (int i = 0; i < kBindableActions; ++i) {
            int key = s.keys[static_cast<size_t>(i)];
            if (TranslateKey(s, key) != kStandardKeys[static_cast<size_t>(i)] &&
                std::find(s.keys.begin(), s.keys.begin() + i, key) == s.keys.begin() + i)
                throw TFailure("a bound key does not translate to its action");
            TranslateKey(s, key ^ 1);
        }
        s.captureSlot = static_cast<int>(Hash64(s.object.dump()) % (kBindableActions + 1)) - 1;
        CaptureKey(s, 0x40000000);
        ToneSamples(true, s.effectsVolume);
        ToneSamples(false, s.muted ? 0 : s.effectsVolume);
        TMusicState music;
        music.musicData = SawSamples(3000);
        for (int volume : {s.musicVolume, s.musicVolume * 40 / 100}) {
            std::vector<std::int16_t> block = MixMusicBlock(music, volume);
            if (block.size() != static_cast<size_t>(kMusicBlockSamples))
                throw TFailure("a music block of another size");
        }
    }

    std::string dir_;
    std::string input_;
    std::string scratch_;
    std::vector<TJson> seeds_;
};

// [SECTION] WAV tracks

struct TChunk {
    std::string id;
    std::string data;
    bool hasSize = false;  // size written below instead of the data's own
    std::uint32_t size = 0;
};

void Put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t Get32(const std::string& s, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    return v;
}

std::string FmtChunkData() {
    std::string fmt;
    auto put16 = [&fmt](int v) {
        fmt += static_cast<char>(v & 0xFF);
        fmt += static_cast<char>((v >> 8) & 0xFF);
    };
    put16(1);  // PCM
    put16(1);  // mono
    Put32(fmt, 22050);
    Put32(fmt, 44100);
    put16(2);
    put16(16);
    return fmt;
}

// A RIFF file of chunks, each padded to an even length as the format asks.
std::string BuildWav(const std::vector<TChunk>& chunks, bool riffSizeRight, std::uint32_t riffSize) {
    std::string body = "WAVE";
    for (const TChunk& c : chunks) {
        body += c.id.substr(0, 4);
        body.append(4 - std::min<size_t>(4, c.id.size()), ' ');
        Put32(body, c.hasSize ? c.size : static_cast<std::uint32_t>(c.data.size()));
        body += c.data;
        if (c.data.size() % 2 == 1) body += '\0';
    }
    std::string out = "RIFF";
    Put32(out, riffSizeRight ? static_cast<std::uint32_t>(body.size()) : riffSize);
    return out + body;
}

// The chunks of a RIFF file, as far as they can be told apart.
std::vector<TChunk> ParseWav(const std::string& file) {
    std::vector<TChunk> chunks;
    size_t pos = 12;
    while (pos + 8 <= file.size()) {
        TChunk c;
        c.id = file.substr(pos, 4);
        std::uint32_t size = Get32(file, pos + 4);
        pos += 8;
        c.data = file.substr(pos, std::min<size_t>(size, file.size() - pos));
        chunks.push_back(c);
        if (size > file.size() - pos) break;
        pos += size + (size & 1u);
    }
    return chunks;
}

std::string SampleBytes(int samples) {
    std::vector<std::uint8_t> data = SawSamples(samples);
    return std::string(data.begin(), data.end());
}

class TWavTarget : public TTarget {
   public:
    explicit TWavTarget(const std::string& dir) : dir_(dir), musicDir_(dir + "/music/") {}

    void Setup() override {
        fs::create_directories(musicDir_);
        // The battle track is always a good one, to fade from and to.
        WriteBytes(musicDir_ + kTrackFiles[kTrackBattle],
                   BuildWav({{"fmt ", FmtChunkData()}, {"data", SampleBytes(5000)}}, true, 0));
    }

    void MakeSeeds(TFuzzRandom&) override {
        seeds_.push_back(BuildWav({{"fmt ", FmtChunkData()}, {"data", SampleBytes(4000)}}, true, 0));
        seeds_.push_back(BuildWav(
            {{"fmt ", FmtChunkData()}, {"LIST", std::string("INFOISFT\x05\0\0\0reed", 16)}, {"data", SampleBytes(1)}},
            true, 0));
        std::string odd = SampleBytes(7);
        odd.pop_back();  // 13 bytes: half a sample at the end, and a pad byte after it
        seeds_.push_back(BuildWav({{"data", odd}, {"fmt ", FmtChunkData()}}, true, 0));
        seeds_.push_back(BuildWav({{"fmt ", FmtChunkData()}, {"data", ""}, {"data", SampleBytes(20)}}, true, 0));
    }

    std::string NextInput(TFuzzRandom& rng) override {
        const std::string& seed = rng.Pick(seeds_);
        if (rng.Chance(25)) return DamageBytes(seed, rng);
        std::vector<TChunk> chunks = ParseWav(seed);
        int edits = 1 + rng.Below(3);
        bool riffRight = !rng.Chance(15);
        for (int e = 0; e < edits; ++e) MutateChunks(chunks, rng);
        std::string out = BuildWav(chunks, riffRight, InterestingSize(rng, 0, 0));
        if (rng.Chance(15)) out.resize(static_cast<size_t>(rng.Below(static_cast<int>(out.size()) + 1)));
        return out;
    }

    std::string InputPath() const override { return musicDir_ + kTrackFiles[kTrackTitle]; }
    std::string Extension() const override { return "wav"; }

    TVerdict Run(const std::string& input) override {
        std::vector<std::uint8_t> data = ReadWavData(InputPath());
        if (data.size() % 2 != 0 || data.size() > kMaxTrackBytes) throw TFailure("track data of a bad size");
        if (!data.empty() && input.find(std::string(data.begin(), data.end())) == std::string::npos)
            throw TFailure("track data that is not in the file");
        // Faded in from a good track, played, and faded out into it again.
        TMusicState music;
        SelectTrack(music, kTrackBattle, musicDir_);
        MixMusicBlock(music, 100);
        SelectTrack(music, kTrackTitle, musicDir_);
        for (int block = 0; block < 9; ++block) {
            size_t n = MixMusicBlock(music, block * 13 % 101).size();
            if (n != (data.size() > 1 ? static_cast<size_t>(kMusicBlockSamples) : 0u))
                throw TFailure("a music block of another size");
        }
        SelectTrack(music, kTrackBattle, musicDir_);
        for (int block = 0; block < 9; ++block) MixMusicBlock(music, 100);
        return data.empty() ? TVerdict::kRefused : TVerdict::kAccepted;
    }

   private:
    static std::uint32_t InterestingSize(TFuzzRandom& rng, std::uint32_t actual, std::uint32_t remaining) {
        const std::uint32_t sizes[] = {0,
                                       1,
                                       2,
                                       3,
                                       actual - 1,
                                       actual + 1,
                                       actual + 2,
                                       remaining,
                                       remaining + 1,
                                       0x7FFFFFFF,
                                       0x80000000,
                                       0xFFFFFFFE,
                                       0xFFFFFFFF,
                                       static_cast<std::uint32_t>(kMaxTrackBytes),
                                       static_cast<std::uint32_t>(kMaxTrackBytes) + 1};
        return sizes[rng.Below(static_cast<int>(std::size(sizes)))];
    }

    static void MutateChunks(std::vector<TChunk>& chunks, TFuzzRandom& rng) {
        int n = static_cast<int>(chunks.size());
        int i = rng.Below(n);
        switch (rng.Below(8)) {
            case 0:
            case 1:
                if (n > 0) {
                    std::uint32_t remaining = 0;
                    for (int k = i; k < n; ++k)
                        remaining += static_cast<std::uint32_t>(chunks[static_cast<size_t>(k)].data.size() + 8);
                    chunks[static_cast<size_t>(i)].hasSize = true;
                    chunks[static_cast<size_t>(i)].size = InterestingSize(
                        rng, static_cast<std::uint32_t>(chunks[static_cast<size_t>(i)].data.size()), remaining);
                }
                return;
            case 2: {
                static const char* const ids[] = {"data", "DATA", "dat", "fmt ", "LIST", "junk", "", "data\0"};
                if (n > 0) chunks[static_cast<size_t>(i)].id = ids[rng.Below(8)];
                return;
            }
            case 3:
                if (n > 0) chunks.erase(chunks.begin() + i);
                return;
            case 4:
                if (n > 0 && n < 16) chunks.insert(chunks.begin() + i, chunks[static_cast<size_t>(i)]);
                return;
            case 5:
                if (n > 1) std::swap(chunks[static_cast<size_t>(i)], chunks[static_cast<size_t>(rng.Below(n))]);
                return;
            case 6: {
                TChunk extra{rng.Chance(50) ? "junk" : "LIST", std::string(static_cast<size_t>(rng.Below(9)), 'j')};
                chunks.insert(chunks.begin() + rng.Below(n + 1), extra);
                return;
            }
            default:  // the data cut or grown by a byte or a sample
                if (n > 0) {
                    std::string& d = chunks[static_cast<size_t>(i)].data;
                    if (rng.Chance(50) && !d.empty())
                        d.resize(d.size() - 1 -
                                 static_cast<size_t>(rng.Below(std::min<int>(2, static_cast<int>(d.size())))));
                    else
                        d.append(static_cast<size_t>(1 + rng.Below(2)), '\x7f');
                }
                return;
        }
    }

    std::string dir_;
    std::string musicDir_;
    std::vector<std::string> seeds_;
};

}  // namespace

std::unique_ptr<TTarget> MakeSettingsTarget(const std::string& workDir) {
    return std::make_unique<TSettingsTarget>(workDir);
}

std::unique_ptr<TTarget> MakeWavTarget(const std::string& workDir) {
    return std::make_unique<TWavTarget>(workDir);
}

}  // namespace reedmark::fuzz
