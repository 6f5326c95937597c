// Settings files (good, clamped, hostile), key translation and capture, the music mixer
// and tones sample by sample, and WAV files (good and damaged).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "tests/ui/shell_fixture.hpp"
#include "ui/music.hpp"
#include "ui/settings.hpp"

namespace reedmark {
namespace {

namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(Settings, ReadingClampsAndKeepsWhatWasReadBeforeAFailure) {
    const std::string dir = testing::FreshDir("settings");
    const std::string path = dir + "settings.json";
    struct TCase {
        std::string text;
        std::string message;
        int music;
        int effects;
        bool muted;
    };
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const TCase cases[] = {
        {R"({"musicVolume":250,"effectsVolume":-5,"muted":true})", "", 100, 0, true},
        {R"({"musicVolume":65})", "", 65, 70, false},
        // effectsVolume is read before musicVolume, so it stays when music fails.
        {R"({"effectsVolume":30,"musicVolume":"loud","muted":true})", kSettingsUnreadable, 60, 30, false},
        {R"({"muted":1})", kSettingsUnreadable, 60, 70, false},
        {R"({"musicVolume":12.5})", kSettingsUnreadable, 60, 70, false},
        {"[1,2]", kSettingsUnreadable, 60, 70, false},
        {"{not json", kSettingsUnreadable, 60, 70, false},
        {R"({"x":)" + deep + "}", kSettingsUnreadable, 60, 70, false},
        {R"({"musicVolume":1e400})", kSettingsUnreadable, 60, 70, false},
        {R"({"key0":99999999999})", kSettingsUnreadable, 60, 70, false},
    };
    for (const TCase& c : cases) {
        WriteText(path, c.text);
        TSettings s;
        EXPECT_EQ(LoadSettings(s, path), c.message) << c.text.substr(0, 60);
        EXPECT_EQ(s.musicVolume, c.music) << c.text.substr(0, 60);
        EXPECT_EQ(s.effectsVolume, c.effects) << c.text.substr(0, 60);
        EXPECT_EQ(s.muted, c.muted) << c.text.substr(0, 60);
    }
    WriteText(path, std::string(2 << 20, ' '));
    TSettings big;
    EXPECT_EQ(LoadSettings(big, path), kSettingsUnreadable);
    TSettings none;
    EXPECT_EQ(LoadSettings(none, dir + "missing.json"), "");
    fs::remove_all(dir);
}

TEST(Settings, SavingKeepsUnknownKeysAndWritesKnownOnesInOrder) {
    const std::string dir = testing::FreshDir("settings-save");
    const std::string path = dir + "settings.json";
    WriteText(path, R"({"theme":"dusk","musicVolume":20,"extra":[1,{"a":2}]})");
    TSettings s;
    ASSERT_EQ(LoadSettings(s, path), "");
    s.fastAI = true;
    SaveSettings(s, path);
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, R"({"theme":"dusk","musicVolume":20,"extra":[1,{"a":2}],"reducedMotion":false,"key0":1073741904,)"
                    R"("key1":1073741903,"key2":1073741906,"key3":1073741905,"key4":13,"key5":27,"effectsVolume":70,)"
                    R"("muted":false,"fastAI":true})");
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    EXPECT_THROW(SaveSettings(s, dir + "no/such/dir/settings.json"), std::runtime_error);
    fs::remove_all(dir);
}

// Files the fuzzer found: read, but written back larger than a settings file may be,
// so the next start lost every setting. The game's own keys must survive the rewrite.
TEST(Settings, AFileNearTheLimitIsWrittenBackReadable) {
    const std::string dir = testing::FreshDir("settings-grown");
    const std::string path = dir + "settings.json";
    std::string numbers = R"({"musicVolume":40,"numbers":[)";
    while (numbers.size() < 400000) numbers += "1e9,";
    const std::string cases[] = {
        numbers + "1]}",                                                               // 1e9 is written 1000000000.0
        R"({"pad":")" + std::string((1u << 20) - 40, 'p') + R"(","musicVolume":40})",  // the known keys are added
    };
    for (const std::string& text : cases) {
        WriteText(path, text);
        TSettings s;
        ASSERT_EQ(LoadSettings(s, path), "") << text.substr(0, 30);
        s.keys[2] = 119;
        SaveSettings(s, path);
        TSettings again;
        EXPECT_EQ(LoadSettings(again, path), "") << text.substr(0, 30);
        EXPECT_EQ(again.musicVolume, 40) << text.substr(0, 30);
        EXPECT_EQ(again.keys[2], 119) << text.substr(0, 30);
        EXPECT_FALSE(again.object.contains("numbers") || again.object.contains("pad")) << text.substr(0, 30);
    }
    fs::remove_all(dir);
}

TEST(Settings, BindingsTranslateAndCaptureRefusesKeysInUse) {
    TSettings s;
    EXPECT_EQ(TranslateKey(s, 'c'), 'c');
    s.captureSlot = 4;  // Confirm
    EXPECT_EQ(CaptureKey(s, 'c'), "");
    EXPECT_EQ(s.captureSlot, -1);
    EXPECT_EQ(TranslateKey(s, 'c'), 13);
    EXPECT_EQ(TranslateKey(s, 13), 13);  // Return itself still works
    s.captureSlot = 0;                   // Left onto Escape, held by Back
    EXPECT_EQ(CaptureKey(s, 27), "That key is already bound.");
    EXPECT_EQ(s.captureSlot, 0);
    s.captureSlot = 5;  // Back moves to 'q', freeing Escape
    EXPECT_EQ(CaptureKey(s, 'q'), "");
    s.captureSlot = 0;
    EXPECT_EQ(CaptureKey(s, 27), "");
    EXPECT_EQ(TranslateKey(s, 27), kStandardKeys[0]);
}

std::vector<std::uint8_t> Samples(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (int v : values) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    return bytes;
}

TEST(Music, MixerLoopsScalesAndCrossfades) {
    TMusicState m;
    m.musicData = Samples({1000, -2000, 30000});
    std::vector<std::int16_t> block = MixMusicBlock(m, 50);
    ASSERT_EQ(block.size(), static_cast<size_t>(kMusicBlockSamples));
    EXPECT_EQ(block[0], 500);
    EXPECT_EQ(block[1], -1000);
    EXPECT_EQ(block[2], 15000);
    EXPECT_EQ(block[3], 500);  // the track loops
    EXPECT_EQ(MixMusicBlock(m, 0)[0], 0);

    // Crossfade: the old track at full weight first, fading towards the new one.
    TMusicState f;
    f.musicData = Samples({10000});
    f.fadeData = Samples({-10000, 20000});
    f.fadeLeft = kCrossfadeSamples;
    std::vector<std::int16_t> fade = MixMusicBlock(f, 100);
    EXPECT_EQ(fade[0], -10000);
    const double w = (kCrossfadeSamples - 1.0) / kCrossfadeSamples;
    EXPECT_EQ(fade[1], static_cast<std::int16_t>(
                           std::nearbyint(20000 * (kCrossfadeSamples - 1.0) / kCrossfadeSamples + (1 - w) * 10000)));
    EXPECT_EQ(f.fadeLeft, kCrossfadeSamples - kMusicBlockSamples);
    EXPECT_EQ(f.fadePos, static_cast<size_t>((2 * kMusicBlockSamples) % 4));

    TMusicState empty;
    empty.musicData = {7};
    EXPECT_TRUE(MixMusicBlock(empty, 100).empty());
}

TEST(Music, TonesAreFadingSines) {
    for (bool success : {true, false}) {
        std::vector<std::int16_t> tone = ToneSamples(success, 100);
        ASSERT_EQ(tone.size(), static_cast<size_t>(kToneSamples));
        const double f = success ? 660 : 220;
        for (int n : {0, 1, 7, 100, 3306}) {
            const double v = (1.0 - n / 3307.0) * 100 * std::sin(2 * std::numbers::pi * f * n / 22050) * 1800 / 100;
            EXPECT_EQ(tone[static_cast<size_t>(n)], static_cast<std::int16_t>(std::nearbyint(v))) << n;
        }
    }
    for (std::int16_t s : ToneSamples(true, 0)) EXPECT_EQ(s, 0);
}

TEST(Music, WavReaderTakesTheDataChunkAndRefusesDamage) {
    const std::string dir = testing::FreshDir("wav");
    auto chunk = [](const std::string& id, const std::string& body, std::uint32_t size) {
        std::string c = id;
        for (int i = 0; i < 4; ++i) c += static_cast<char>((size >> (8 * i)) & 0xFF);
        return c + body;
    };
    const std::string header = std::string("RIFF") + std::string(4, '\0') + "WAVE";
    struct TCase {
        const char* name;
        std::string bytes;
        size_t expected;
    };
    const TCase cases[] = {
        {"plain", header + chunk("fmt ", std::string(16, 'f'), 16) + chunk("data", "abcd", 4), 4},
        {"odd chunk padded", header + chunk("LIST", "xyz", 3) + "p" + chunk("data", "abcdef", 6), 6},
        {"odd data length", header + chunk("data", "abc", 3), 2},
        {"data past the end", header + chunk("data", "ab", 4000), 0},
        {"skip past the end", header + chunk("junk", "", 0xFFFFFFF0u), 0},
        {"no data chunk", header + chunk("fmt ", std::string(16, 'f'), 16), 0},
        {"truncated header", "RIFF", 0},
    };
    for (const TCase& c : cases) {
        WriteText(dir + "t.wav", c.bytes);
        EXPECT_EQ(ReadWavData(dir + "t.wav").size(), c.expected) << c.name;
    }
    EXPECT_TRUE(ReadWavData(dir + "missing.wav").empty());
    fs::remove_all(dir);
}

}  // namespace
}  // namespace reedmark
