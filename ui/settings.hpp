// The player's preferences: volumes, mute, computer speed, reduced motion and six
// rebindable keys, kept in one JSON object read from and written to settings.json.
// Keys the program does not know survive a save.
#pragma once

#include <array>
#include <string>

#include "model/game.hpp"

namespace reedmark {

constexpr int kBindableActions = 6;
// The standard keys of the bindable actions Left, Right, Up, Down, Confirm, Back.
constexpr std::array<int, kBindableActions> kStandardKeys = {0x40000050, 0x4000004F, 0x40000052, 0x40000051, 13, 27};
extern const std::array<const char*, kBindableActions> kBindingNames;

constexpr const char* kSettingsUnreadable = "Settings could not be read. Using defaults.";

struct TSettings {
    TJson object = TJson::object();
    bool reducedMotion = false;
    std::array<int, kBindableActions> keys = kStandardKeys;
    int effectsVolume = 70;
    int musicVolume = 60;
    bool muted = false;
    bool fastAI = false;
    // Desktop full-screen (F11). Kept under its own key, which is written only once the
    // player has used F11 or the file already holds it, so the file of a player who never
    // does keeps exactly its usual keys.
    bool fullscreen = false;
    bool fullscreenStored = false;
    // The slot waiting for a new key, or -1.
    int captureSlot = -1;
};

// Reads the settings file when it exists. Answers "" on success or when there is no
// file, else kSettingsUnreadable: values read before the failure stay, the rest keep
// their defaults. Oversized or deeply nested files are refused the same way.
std::string LoadSettings(TSettings& settings, const std::string& path);
// Writes the values into the object: existing keys in place, missing ones appended.
void StoreSettingsValues(TSettings& settings);
// Writes the values into the object and the object to path (through a temporary file
// that is flushed and renamed, so a crash never leaves half a file). Unknown keys are
// dropped when keeping them would make a file too large to be read. Throws
// std::runtime_error with the reason when the file cannot be written.
void SaveSettings(TSettings& settings, const std::string& path);
// A key bound to a slot becomes that slot's standard key.
int TranslateKey(const TSettings& settings, int key);
// Binds the capturing slot to key. Answers "" when bound (capture ends; the caller
// saves), or "That key is already bound." when another slot holds it.
std::string CaptureKey(TSettings& settings, int key);

}  // namespace reedmark
