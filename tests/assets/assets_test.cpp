// The generated assets: the font is reproducible from its glyph source and has the grid the
// game draws from; each music track is a valid loop in the format the music player reads.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/fixtures/small_world.hpp"

namespace reedmark {
namespace {

const std::string kSource = REEDMARK_SOURCE_DIR;
const std::string kBuildAssets = REEDMARK_BUILD_ASSETS;
constexpr int kSampleRate = 22050;

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

uint32_t LE(const std::string& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// [SECTION] Font

TEST(Font, CommittedBitmapIsAFreshRunOfTheGenerator) {
    testing::TTempWorld out(nullptr);
    std::string fresh = out.Path("font.bmp");
    std::string command =
        std::string(REEDMARK_FONTGEN_PATH) + " " + kSource + "/tools/fontgen/glyphs.txt " + fresh + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string committed = FileBytes(kSource + "/assets/font.bmp");
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(committed == FileBytes(fresh)) << "assets/font.bmp is stale: run fontgen on tools/fontgen/glyphs.txt";
}

TEST(Font, LoadsAsAGridOfWhiteGlyphsOnBlack) {
    SDL_Surface* loaded = SDL_LoadBMP((kSource + "/assets/font.bmp").c_str());
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    SDL_Surface* surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    ASSERT_EQ(surface->w, 256);
    ASSERT_EQ(surface->h, 96);
    auto pixel = [&](int x, int y) {
        auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    };
    int odd = 0;
    for (int code = 32; code < 128; ++code) {
        int left = (code % 16) * 16, top = (code - 32) / 16 * 16;
        int ink = 0, overhang = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                uint32_t p = pixel(left + x, top + y);
                if (p != 0 && p != 0xFFFFFF) ++odd;
                if (p != 0xFFFFFF) continue;
                ++ink;
                // At size 16 the next glyph starts 12 columns on: ink further right would overlap it.
                if (x >= 12) ++overhang;
            }
        }
        if (code == 32) {
            EXPECT_EQ(ink, 0) << "space has ink";
        } else if (code < 127) {
            EXPECT_GT(ink, 0) << "glyph " << code << " is empty";
        }
        EXPECT_EQ(overhang, 0) << "glyph " << code << " inks columns 12..15";
    }
    EXPECT_EQ(odd, 0) << "pixels other than black and white";
    SDL_FreeSurface(surface);
}

// [SECTION] Music

struct TTrack {
    uint32_t format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
    bool hasData = false;
};

// Walks the chunks after the RIFF header the way the music player does.
TTrack ReadTrack(const std::string& path) {
    std::string bytes = FileBytes(path);
    TTrack track;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return track;
    EXPECT_EQ(LE(bytes, 4, 4), bytes.size() - 8) << "RIFF size";
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        std::string id = bytes.substr(at, 4);
        size_t size = LE(bytes, at + 4, 4);
        at += 8;
        if (size > bytes.size() - at) break;
        if (id == "fmt " && size >= 16) {
            track.format = LE(bytes, at, 2);
            track.channels = LE(bytes, at + 2, 2);
            track.rate = LE(bytes, at + 4, 4);
            track.bits = LE(bytes, at + 14, 2);
        } else if (id == "data") {
            track.hasData = true;
            for (size_t i = 0; i + 1 < size; i += 2)
                track.samples.push_back(static_cast<int16_t>(LE(bytes, at + i, 2)));
        }
        at += size + (size & 1);
    }
    return track;
}

class MusicTrack : public ::testing::TestWithParam<const char*> {};

TEST_P(MusicTrack, IsALoudEnoughSeamlessLoopInThePlayersFormat) {
    TTrack track = ReadTrack(kBuildAssets + "/music/" + GetParam());
    ASSERT_TRUE(track.hasData) << "no RIFF/WAVE data chunk";
    EXPECT_EQ(track.format, 1u);  // PCM
    EXPECT_EQ(track.channels, 1u);
    EXPECT_EQ(track.rate, static_cast<uint32_t>(kSampleRate));
    EXPECT_EQ(track.bits, 16u);
    const std::vector<int16_t>& s = track.samples;
    ASSERT_GE(s.size(), static_cast<size_t>(40 * kSampleRate)) << "shorter than 40 s";

    // Peak near -3 dBFS: never at full scale, never a near-silent track.
    int peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_LT(peak, 29204) << "peak above -1 dBFS";
    EXPECT_GT(peak, 16422) << "peak below -6 dBFS";

    // The player goes from the last sample straight to the first: that step must be an
    // ordinary step of this track (within its 99th percentile), not a click.
    std::vector<int> steps;
    for (size_t i = 0; i + 1 < s.size(); ++i) steps.push_back(std::abs(s[i + 1] - s[i]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
    int ordinary = steps[steps.size() * 99 / 100];
    int seam = std::abs(s.front() - s.back());
    EXPECT_LE(seam, ordinary) << "a jump of " << seam << " at the loop seam; 99% of steps are at most " << ordinary;
}

INSTANTIATE_TEST_SUITE_P(Tracks, MusicTrack,
                         ::testing::Values("01-river-lanterns.wav", "02-oath-at-dawn.wav", "03-reeds-and-iron.wav",
                                           "04-court-of-returning-light.wav"));

// A faulty score stops the build with the file and line, instead of making wrong music.
TEST(MusicScore, FaultsAreRefusedWithTheirLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"voice v pluck\n  A4:3 | A4:1 |\nend\n", ":5: bar line in the middle of a bar"},
        {"voice v pluck\n  A4:3\nend\n", ":6: voice 'v' lasts 3"},
        {"voice v kazoo\n  A4:4\nend\n", ":4: unknown instrument 'kazoo'"},
        {"voice v pluck\n  @missing\nend\n", ":5: unknown phrase 'missing'"},
        {"voice v pluck\n  H4:4\nend\n", ":5: bad pitch 'H4'"},
        {"voice v pluck\n  A4:0\nend\n", ":5: length '0' must be above 0"},
        {"voice v pluck gian=1\n  A4:4\nend\n", ":4: unknown voice setting 'gian'"},
        {"phrase p\n  @p*256\nend\nvoice v pluck\n  @p\nend\n", ":5: phrases nested too deeply"},
    };
    for (const auto& [body, message] : cases) {
        testing::TTempWorld dir(nullptr);
        testing::WriteText(dir.Path("01-river-lanterns.score"), "tempo 60\nmeter 4\nbars 1\n" + body);
        std::string command = std::string(REEDMARK_MUSICGEN_PATH) + " " + dir.Dir() + " " + dir.Dir() + " 2> " +
                              dir.Path("errors.txt") + " > /dev/null";
        EXPECT_NE(std::system(command.c_str()), 0) << body;
        EXPECT_NE(FileBytes(dir.Path("errors.txt")).find(message), std::string::npos)
            << body << "\nsaid: " << FileBytes(dir.Path("errors.txt"));
    }
}

}  // namespace
}  // namespace reedmark
