// musicgen: synthesises the game's four looping music tracks from the scores in this directory.
//
//   musicgen SCORE_DIR OUT_DIR
//
// For each track NAME it reads SCORE_DIR/NAME.score and writes OUT_DIR/NAME.wav: 22050 Hz,
// 16-bit signed little-endian mono PCM in a canonical RIFF/WAVE file, peak at -3 dBFS. The
// game loops the data chunk end to start, so each track is rendered as a seamless loop.
// The same scores always give byte-identical files.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "score.hpp"
#include "synth.hpp"

namespace {

const char* const kTracks[] = {"01-river-lanterns", "02-oath-at-dawn", "03-reeds-and-iron",
                               "04-court-of-returning-light"};
constexpr double kPeakDbfs = -3.0;
constexpr double kFullScale = 32767.0;

void PutLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string EncodeWav(const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string out;
    out += "RIFF";
    PutLE(out, 36 + dataBytes, 4);
    out += "WAVE";
    out += "fmt ";
    PutLE(out, 16, 4);
    PutLE(out, 1, 2);  // PCM
    PutLE(out, 1, 2);  // mono
    PutLE(out, musicgen::kSampleRate, 4);
    PutLE(out, musicgen::kSampleRate * 2, 4);  // bytes per second
    PutLE(out, 2, 2);                          // block align
    PutLE(out, 16, 2);                         // bits per sample
    out += "data";
    PutLE(out, dataBytes, 4);
    for (int16_t s : samples) PutLE(out, static_cast<uint16_t>(s), 2);
    return out;
}

double Dbfs(double level) {
    return 20.0 * std::log10(std::max(level, 1e-9) / kFullScale);
}

// Renders one track and reports its length and levels.
void MakeTrack(const std::string& scoreDir, const std::string& outDir, const std::string& name) {
    const std::clock_t began = std::clock();
    musicgen::TScore score = musicgen::ReadScore(scoreDir + "/" + name + ".score", musicgen::KnownInstrument);
    std::vector<double> loop = musicgen::RenderLoop(score);
    double peak = 1e-12;
    for (double v : loop) peak = std::max(peak, std::fabs(v));
    const double scale = kFullScale * std::pow(10.0, kPeakDbfs / 20.0) / peak;
    std::vector<int16_t> samples(loop.size());
    double power = 0;
    for (size_t i = 0; i < loop.size(); ++i) {
        double v = std::clamp(std::round(loop[i] * scale), -kFullScale, kFullScale);
        samples[i] = static_cast<int16_t>(v);
        power += v * v;
    }
    std::string path = outDir + "/" + name + ".wav";
    std::string bytes = EncodeWav(samples);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
    double rms = std::sqrt(power / static_cast<double>(samples.size()));
    double ms = 1000.0 * static_cast<double>(std::clock() - began) / CLOCKS_PER_SEC;
    char line[200];
    std::snprintf(line, sizeof line, "%s.wav: %.1f s, peak %.1f dBFS, rms %.1f dBFS (%.0f ms of processor time)",
                  name.c_str(), static_cast<double>(samples.size()) / musicgen::kSampleRate, Dbfs(peak * scale),
                  Dbfs(rms), ms);
    std::cout << line << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: musicgen SCORE_DIR OUT_DIR\n";
        return 2;
    }
    try {
        for (const char* name : kTracks) MakeTrack(argv[1], argv[2], name);
    } catch (const std::exception& error) {
        std::cerr << "musicgen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
