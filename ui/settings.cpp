// Reading, writing and applying the player's preferences, and the key bindings'
// translation and capture.
#include "ui/settings.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace reedmark {

const std::array<const char*, kBindableActions> kBindingNames = {"Left", "Right", "Up", "Down", "Confirm", "Back"};

namespace {

// A settings file the game wrote is a few hundred bytes; anything this large or this
// deeply nested is not one, and is refused before it can cost memory or stack.
constexpr std::uintmax_t kMaxSettingsBytes = 1u << 20;
constexpr int kMaxSettingsDepth = 64;

const char* const kVolumeKeys[] = {"effectsVolume", "musicVolume"};
constexpr const char* kFullscreenKey = "fullscreen";

// Depth of nested containers, stopping as soon as the limit is passed.
bool NestedDeeperThan(const TJson& value, int limit) {
    if (!value.is_structured()) return false;
    if (limit <= 0) return true;
    for (const auto& child : value) {
        if (NestedDeeperThan(child, limit - 1)) return true;
    }
    return false;
}

bool ReadBool(const TJson& object, const char* key, bool def) {
    auto it = object.find(key);
    if (it == object.end()) return def;
    if (!it->is_boolean()) throw std::runtime_error("wrong kind");
    return it->get<bool>();
}

// An integer setting; a number that is not whole, or text, cannot be read.
long long ReadInteger(const TJson& value) {
    if (value.is_number_integer()) {
        if (value.is_number_unsigned()) {
            auto u = value.get<std::uint64_t>();
            return u > static_cast<std::uint64_t>(std::numeric_limits<long long>::max())
                       ? std::numeric_limits<long long>::max()
                       : static_cast<long long>(u);
        }
        return value.get<long long>();
    }
    throw std::runtime_error("wrong kind");
}

std::string ReadFile(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) throw std::runtime_error(ec.message());
    if (size > kMaxSettingsBytes) throw std::runtime_error("too large");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("unreadable");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string LoadSettings(TSettings& settings, const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return "";
    try {
        TJson parsed = TJson::parse(ReadFile(path));
        if (!parsed.is_object()) throw std::runtime_error("Settings must be a JSON object.");
        if (NestedDeeperThan(parsed, kMaxSettingsDepth)) throw std::runtime_error("too deep");
        settings.object = std::move(parsed);
        const TJson& o = settings.object;
        settings.reducedMotion = ReadBool(o, "reducedMotion", false);
        for (int i = 0; i < kBindableActions; ++i) {
            auto it = o.find("key" + std::to_string(i));
            if (it == o.end()) continue;
            long long code = ReadInteger(*it);
            if (code < std::numeric_limits<int>::min() || code > std::numeric_limits<int>::max())
                throw std::runtime_error("wrong kind");
            settings.keys[static_cast<size_t>(i)] = static_cast<int>(code);
        }
        int* volumes[] = {&settings.effectsVolume, &settings.musicVolume};
        const int defaults[] = {70, 60};
        for (int i = 0; i < 2; ++i) {
            auto it = o.find(kVolumeKeys[i]);
            long long v = it == o.end() ? defaults[i] : ReadInteger(*it);
            *volumes[i] = static_cast<int>(std::clamp<long long>(v, 0, 100));
        }
        settings.muted = ReadBool(o, "muted", false);
        settings.fastAI = ReadBool(o, "fastAI", false);
        // Full-screen is the window's own preference: a value of another kind is left
        // alone as an unknown key and the window opens windowed.
        auto full = o.find(kFullscreenKey);
        if (full != o.end() && full->is_boolean()) {
            settings.fullscreen = full->get<bool>();
            settings.fullscreenStored = true;
        }
    } catch (const std::exception&) {
        // A root that is not an object, or an unreadable file, leaves no object to keep.
        if (!settings.object.is_object()) settings.object = TJson::object();
        return kSettingsUnreadable;
    }
    return "";
}

void StoreSettingsValues(TSettings& settings) {
    if (!settings.object.is_object()) settings.object = TJson::object();
    TJson& o = settings.object;
    o["reducedMotion"] = settings.reducedMotion;
    for (int i = 0; i < kBindableActions; ++i) o["key" + std::to_string(i)] = settings.keys[static_cast<size_t>(i)];
    o["effectsVolume"] = settings.effectsVolume;
    o["musicVolume"] = settings.musicVolume;
    o["muted"] = settings.muted;
    o["fastAI"] = settings.fastAI;
    if (settings.fullscreenStored) o[kFullscreenKey] = settings.fullscreen;
}

void SaveSettings(TSettings& settings, const std::string& path) {
    StoreSettingsValues(settings);
    std::string text = settings.object.dump();
    if (text.size() > kMaxSettingsBytes) {
        // Unknown keys are kept only while the file stays one LoadSettings reads: a file
        // near the limit grows when written back (1e9 is spelled 1000000000.0, and the
        // known keys are added), and the player's settings would be lost next time.
        TJson known = TJson::object();
        for (const auto& [key, value] : settings.object.items()) {
            if (key == "reducedMotion" || key == "effectsVolume" || key == "musicVolume" || key == "muted" ||
                key == "fastAI" ||
                (key.size() == 4 && key.starts_with("key") && key[3] >= '0' && key[3] < '0' + kBindableActions))
                known[key] = value;
        }
        settings.object = std::move(known);
        text = settings.object.dump();
    }
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) throw std::runtime_error("Settings could not be saved: " + path);
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && ok;
    ok = ::fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw std::runtime_error("Settings could not be saved: " + path);
    }
}

int TranslateKey(const TSettings& settings, int key) {
    for (int i = 0; i < kBindableActions; ++i) {
        if (settings.keys[static_cast<size_t>(i)] == key) return kStandardKeys[static_cast<size_t>(i)];
    }
    return key;
}

std::string CaptureKey(TSettings& settings, int key) {
    for (int i = 0; i < kBindableActions; ++i) {
        if (i != settings.captureSlot && settings.keys[static_cast<size_t>(i)] == key)
            return "That key is already bound.";
    }
    if (settings.captureSlot >= 0 && settings.captureSlot < kBindableActions)
        settings.keys[static_cast<size_t>(settings.captureSlot)] = key;
    settings.captureSlot = -1;
    return "";
}

}  // namespace reedmark
