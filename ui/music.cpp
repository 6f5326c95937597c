// Track choice, WAV data reading, the music mixer with its crossfade, and the tones.
#include "ui/music.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>

#include "model/battle.hpp"
#include "model/game.hpp"

namespace reedmark {

const std::array<const char*, 4> kTrackFiles = {"01-river-lanterns.wav", "02-oath-at-dawn.wav", "03-reeds-and-iron.wav",
                                                "04-court-of-returning-light.wav"};

int ChooseTrack(const TGame& game) {
    if (HasBattle(game)) return kTrackBattle;
    if (game.HasCampaign() && TGame::GetBool(game.Root(), "town")) return kTrackTown;
    if (game.HasCampaign() && game.IsEnded()) return kTrackEnded;
    return kTrackTitle;
}

namespace {

std::uint32_t LittleEndian32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int16_t SampleAt(const std::vector<std::uint8_t>& data, std::size_t pos) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(data[pos] | data[pos + 1] << 8));
}

}  // namespace

std::vector<std::uint8_t> ReadWavData(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length < 12) return {};
    std::streamoff pos = 12;  // past the RIFF header
    while (length - pos >= 8) {
        in.seekg(pos);
        unsigned char header[8];
        if (!in.read(reinterpret_cast<char*>(header), 8)) return {};
        const std::uint32_t size = LittleEndian32(header + 4);
        pos += 8;
        if (std::memcmp(header, "data", 4) == 0) {
            // A chunk that claims more than the file holds is damaged: silence, not a
            // read past the end.
            if (size > static_cast<std::uint64_t>(length - pos) || size > kMaxTrackBytes) return {};
            std::vector<std::uint8_t> data(size & ~1u);  // whole 16-bit samples only
            if (!data.empty() &&
                !in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size())))
                return {};
            return data;
        }
        pos += static_cast<std::streamoff>(size) + (size & 1u);
    }
    return {};
}

void SelectTrack(TMusicState& state, int track, const std::string& musicDir) {
    if (track == state.currentTrack) return;
    state.currentTrack = track;
    state.fadeData = state.musicData;
    state.fadePos = state.musicPos;
    state.fadeLeft = kCrossfadeSamples;
    state.musicPos = 0;
    state.musicData.clear();
    if (track >= 0 && track < static_cast<int>(kTrackFiles.size()))
        state.musicData = ReadWavData(musicDir + kTrackFiles[static_cast<size_t>(track)]);
}

std::vector<std::int16_t> MixMusicBlock(TMusicState& state, int volume) {
    std::vector<std::int16_t> block;
    if (state.musicData.size() <= 1) return block;
    block.reserve(kMusicBlockSamples);
    for (int n = 0; n < kMusicBlockSamples; ++n) {
        double s = SampleAt(state.musicData, state.musicPos);
        state.musicPos = (state.musicPos + 2) % state.musicData.size();
        if (state.fadeLeft > 0 && state.fadeData.size() > 1) {
            const double o = SampleAt(state.fadeData, state.fadePos);
            state.fadePos = (state.fadePos + 2) % state.fadeData.size();
            s = std::nearbyint(o * state.fadeLeft / kCrossfadeSamples +
                               (1.0 - static_cast<double>(state.fadeLeft) / kCrossfadeSamples) * s);
            --state.fadeLeft;
        }
        const long long out = static_cast<long long>(s) * volume / 100;
        block.push_back(static_cast<std::int16_t>(std::clamp<long long>(out, -32768, 32767)));
    }
    return block;
}

std::vector<std::int16_t> ToneSamples(bool success, int effectsVolume) {
    const double f = success ? 660.0 : 220.0;
    std::vector<std::int16_t> tone(kToneSamples);
    for (int n = 0; n < kToneSamples; ++n) {
        const double v = (1.0 - static_cast<double>(n) / kToneSamples) * effectsVolume *
                         std::sin(2.0 * std::numbers::pi * f * n / kAudioRateHz) * 1800.0 / 100.0;
        tone[static_cast<size_t>(n)] = static_cast<std::int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0));
    }
    return tone;
}

}  // namespace reedmark
