// Checksum, Validate, SaveCampaign and LoadCampaign.
#include "model/saves.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "model/battle.hpp"
#include "model/document_io.hpp"
#include "model/game.hpp"

namespace reedmark {

namespace fs = std::filesystem;

namespace {

std::string Timestamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

// Makes a rename durable: flush the directory entry (best effort; some file systems
// refuse fsync on directories).
void SyncDirectory(const fs::path& dir) {
    int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// States the rules themselves reach in which a province's governor is not a free local
// member, and which must still be saved: a governor taken captive on a battle field
// that is still open (the outcome puts the province in order), and any governor of a
// campaign the invasion has ended (the last month end stops before the governors are
// chosen anew).
bool GovernorExcused(const TGame& game, int governor) {
    if (game.IsEnded()) return true;
    if (!HasBattle(game) || governor < 1 || governor > kCharacterCount) return false;
    if (!TGame::GetBool(game.Character(governor), "captured")) return false;
    for (int u = 0; u < BattleUnitCount(game); ++u) {
        if (TGame::GetInt(BattleUnit(game, u), "char", 0) == governor) return true;
    }
    return false;
}

std::string ValidateProvinces(const TGame& game) {
    static const std::array<std::pair<const char*, int>, 10> bounds = {{{"gold", 9999},
                                                                        {"food", 9999},
                                                                        {"metal", 999},
                                                                        {"fur", 999},
                                                                        {"skill", 100},
                                                                        {"arms", 100},
                                                                        {"support", 100},
                                                                        {"flood", 100},
                                                                        {"land", 100},
                                                                        {"wealth", 100}}};
    int factions = game.FactionCount();
    for (int p = 1; p <= kProvinceCount; ++p) {
        TObj prov = game.Province(p);
        if (TGame::GetInt(prov, "id", 0) != p) return "Province IDs are inconsistent.";
        for (const auto& [key, hi] : bounds) {
            int v = TGame::GetInt(prov, key, 0);
            if (v < 0 || v > hi) return std::string(key) + " outside bounds.";
        }
        int owner = TGame::GetInt(prov, "owner", 0);
        if (owner < 0 || owner > factions) return "Invalid owner.";
        if (static_cast<long long>(game.ProvinceHeadcount(p)) >
            static_cast<long long>(kCharactersPerCastle) * TGame::GetInt(prov, "castles", 0))
            return "Province " + std::to_string(p) + " exceeds character capacity.";
        if (owner > 0 && !game.IsLocalMember(TGame::GetInt(prov, "governor", 0), p, owner) &&
            !GovernorExcused(game, TGame::GetInt(prov, "governor", 0)))
            return "Province " + std::to_string(p) + " has no valid local governor.";
    }
    return "";
}

std::string ValidateBeastNotices(const TGame& game) {
    TObj root = game.Root();
    if (!TGame::Has(root, "beastNotices")) return "";
    TArr notices = TGame::GetArr(root, "beastNotices");
    if (notices == nullptr) return "Invalid beast notifications.";
    for (int i = 0; i < TGame::ArrLen(notices); ++i) {
        TObj n = TGame::ArrObj(notices, i);
        if (n == nullptr) return "Invalid beast notification.";
        int province = TGame::GetInt(n, "province", 0);
        int beast = TGame::GetInt(n, "beast", 0);
        if (province < 1 || province > kProvinceCount || beast < 1 || beast > 4)
            return "Invalid beast notification location/species.";
        int before = TGame::GetInt(n, "foodBefore", 0);
        int loss = TGame::GetInt(n, "foodLoss", 0);
        int after = TGame::GetInt(n, "foodAfter", 0);
        if (before < 0 || before > 9999 || loss < 0 || after < 0 || before - after != loss)
            return "Invalid beast notification food loss.";
    }
    return "";
}

}  // namespace

std::string SerializeDocument(const TGame& game) {
    const TJson* doc = game.Document();
    return doc == nullptr ? std::string("null") : SerializeCompact(*doc);
}

std::string Checksum(const TGame& game) {
    return Fnv1aHex(SerializeDocument(game));
}

std::string Validate(const TGame& game) {
    if (!game.HasCampaign()) return "No campaign.";
    TObj root = game.Root();
    if (TGame::ArrLen(TGame::GetArr(root, "provinces")) != kProvinceCount ||
        TGame::ArrLen(TGame::GetArr(root, "characters")) != kCharacterCount)
        return "Incorrect world dimensions.";
    for (int c = 1; c <= kCharacterCount; ++c) {
        int p = TGame::GetInt(game.Character(c), "province", 0);
        if (p < 1 || p > kProvinceCount) return "Invalid character location.";
    }
    if (std::string m = ValidateProvinces(game); !m.empty()) return m;
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = game.Character(c);
        int soldiers = TGame::GetInt(ch, "soldiers", 0);
        if (soldiers < 0 || soldiers > 100) return "Invalid soldiers.";
        int body = TGame::GetInt(ch, "body", 0);
        if (body < 0 || body > TGame::GetInt(ch, "bodyMax", 0)) return "Invalid Body.";
    }
    if (std::string m = ValidateBeastNotices(game); !m.empty()) return m;
    int month = TGame::GetInt(root, "month", 0);
    if (month < 1 || month > 12) return "Invalid date.";
    return "";
}

void SaveCampaign(const TGame& game, const std::string& path) {
    if (std::string m = Validate(game); !m.empty()) throw TGameError("Cannot save invalid campaign: " + m);
    fs::path target(path);
    std::error_code ec;
    if (target.has_parent_path() && !fs::exists(target.parent_path(), ec)) {
        fs::create_directories(target.parent_path(), ec);
        if (ec) throw TGameError("Cannot create " + target.parent_path().string() + ": " + ec.message());
    }
    // The wrapper is written directly: its state is the document itself, serialised
    // once, so the file holds exactly the bytes the checksum was taken over.
    std::string state = SerializeDocument(game);
    std::string text = "{ \"schema\" : " + std::to_string(kSaveSchema) + ", \"checksum\" : \"" + Fnv1aHex(state) +
                       "\", \"timestamp\" : \"" + Timestamp() + "\", \"state\" : " + state + " }\n";
    std::string tmp = path + ".tmp";
    std::string bak = path + ".bak";
    WriteFileSynced(tmp, text);
    if (fs::exists(target, ec)) {
        fs::remove(bak, ec);
        fs::rename(target, bak, ec);
        if (ec) throw TGameError("Unable to preserve previous save.");
    }
    fs::rename(tmp, target, ec);
    if (ec) {
        std::error_code ignored;
        if (fs::exists(bak, ignored)) fs::rename(bak, target, ignored);
        throw TGameError("Unable to commit save file.");
    }
    SyncDirectory(target.parent_path());
}

void LoadCampaign(TGame& game, const std::string& path) {
    TJson file = ReadJsonFile(path);
    if (!file.is_object()) throw TGameError("Unsupported save schema.");
    auto schema = file.find("schema");
    if (schema == file.end() || !schema->is_number_integer() || *schema != kSaveSchema)
        throw TGameError("Unsupported save schema.");
    auto stateIt = file.find("state");
    TJson state = stateIt == file.end() ? TJson() : std::move(*stateIt);
    auto checksumIt = file.find("checksum");
    std::string stored = checksumIt != file.end() && checksumIt->is_string() ? checksumIt->get<std::string>() : "";
    if (Fnv1aHex(SerializeCompact(state)) != stored)
        throw TGameError("Save checksum failed. Your current campaign is unchanged.");

    std::optional<TJson> previous = game.ReplaceDocument(std::move(state));
    if (std::string m = Validate(game); !m.empty()) {
        game.ReplaceDocument(std::move(previous));
        throw TGameError("Invalid save: " + m);
    }
    game.ClearChronicle();
    game.AddLog("Campaign restored. The next companion and random outcome are preserved.");
}

}  // namespace reedmark
