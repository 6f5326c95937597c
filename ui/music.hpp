// The music player and the interface tones: four looping tracks chosen by the state of
// the campaign, streamed in blocks onto the music device with a crossfade when the
// track changes, and short sine tones on the effects device. The mixing is plain
// functions over a state record, so it can be tested sample by sample.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace reedmark {

class TGame;

constexpr int kTrackTitle = 0;
constexpr int kTrackTown = 1;
constexpr int kTrackBattle = 2;
constexpr int kTrackEnded = 3;
extern const std::array<const char*, 4> kTrackFiles;

constexpr int kCrossfadeSamples = 16538;
constexpr std::uint32_t kMusicQueueThreshold = 8819;
constexpr int kMusicBlockSamples = 2205;
constexpr int kToneSamples = 3307;
constexpr double kAudioRateHz = 22050.0;
// Track files larger than this are not music the game made; they are left silent.
constexpr std::size_t kMaxTrackBytes = 64u * 1024 * 1024;

struct TMusicState {
    int currentTrack = -1;
    std::vector<std::uint8_t> musicData;
    std::size_t musicPos = 0;
    std::vector<std::uint8_t> fadeData;
    std::size_t fadePos = 0;
    int fadeLeft = 0;
};

// The track the campaign asks for: battle, then town, then ended, else the title track.
int ChooseTrack(const TGame& game);
// The bytes of a WAV file's data chunk (cut to whole samples), or empty when the file
// cannot be opened, holds no data chunk, or its chunks run past the end.
std::vector<std::uint8_t> ReadWavData(const std::string& path);
// Switches to track (when it differs from the current one), keeping the old one for
// the crossfade. musicDir ends with a separator.
void SelectTrack(TMusicState& state, int track, const std::string& musicDir);
// The next block of music at volume percent v (already reduced while the computer
// players are paused).
std::vector<std::int16_t> MixMusicBlock(TMusicState& state, int volume);
// The confirmation (660 Hz) or refusal (220 Hz) tone at an effects volume percent.
std::vector<std::int16_t> ToneSamples(bool success, int effectsVolume);

}  // namespace reedmark
