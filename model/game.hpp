// TGame: the campaign object. It owns the campaign document (one JSON object holding
// the whole state of a campaign) and the chronicle, and it offers the only operations
// through which the rules read and write that document: defaulting getters, setters
// that remove a key and append it anew, lookups by id and the counts many rules share.
//
// Nothing else in model/ touches the JSON library. Rules hold handles (TObj, TArr) to
// objects and arrays inside the document and pass them back to these operations.
//
// [SECTION] Handles
//   A handle points at the heap container of a JSON object or array, not at the JSON
//   value that holds it, so it stays valid when a setter removes and re-appends a
//   sibling key or an array grows. It dies when its own key is replaced (NewObj,
//   NewArr, Remove) or when the document is replaced (new campaign, load).
//
// [SECTION] Derived index
//   The counts asked thousands of times a month (IsLocalMember, ProvinceSoldiers,
//   ProvinceHeadcount) read a small mirror of the hot character members. Setters keep
//   it current; any structural change invalidates it and the next count rebuilds it.
#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace reedmark {

using TJson = nlohmann::ordered_json;
using TObj = TJson::object_t*;  // nullptr: absent
using TArr = TJson::array_t*;   // nullptr: absent

// Whole-campaign operations (new campaign, save, load) fail with this error; its
// message is shown to the player as it stands.
class TGameError : public std::runtime_error {
public:
    explicit TGameError(const std::string& message) : std::runtime_error(message) {}
};

constexpr int kProvinceCount = 49;
constexpr int kCharacterCount = 255;
constexpr int kScenarioFactions = 11;  // fellowships 1..11 come from the scenario
constexpr int kChancellor = 11;        // the Chancellor's fellowship and character
constexpr int kMaxFactions = 255;
constexpr int kChronicleLimit = 200;
constexpr int kCharactersPerCastle = 5;

// Integers read from a document are saturated to this magnitude, so that the sum of
// two values read from a hostile file can never overflow.
constexpr int kIntLimit = 1'000'000'000;

int Clamp(long long v, long long lo, long long hi);

class TGame {
public:
    TGame();
    ~TGame();
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    // [SECTION] Document and chronicle
    bool HasCampaign() const { return document_.has_value(); }
    // The root object of the campaign document; nullptr while there is no campaign.
    TObj Root() const;
    const std::deque<std::string>& Chronicle() const { return chronicle_; }
    void AddLog(const std::string& line);
    void ClearChronicle() {
        chronicle_.clear();
        chronicleAdded_ = 0;
    }
    // Lines added since the chronicle was last cleared (the chronicle itself keeps
    // only the newest 200), so a reader can tell which lines are new.
    std::uint64_t ChronicleAdded() const { return chronicleAdded_; }

    // [SECTION] Getters: never fail; an absent object, key or null gives the default.
    static int GetInt(TObj obj, std::string_view key, int def);
    // The unsaturated 64-bit value of a number (for the generator state and the seed).
    static long long GetRawInt64(TObj obj, std::string_view key, long long def);
    static std::string GetStr(TObj obj, std::string_view key, const std::string& def = "");
    static bool GetBool(TObj obj, std::string_view key);
    static bool Has(TObj obj, std::string_view key);
    static TObj GetObj(TObj obj, std::string_view key);
    static TArr GetArr(TObj obj, std::string_view key);
    static int ArrLen(TArr arr);
    static int ArrInt(TArr arr, int index, int def);
    static TObj ArrObj(TArr arr, int index);
    // The number of members of an object (0 when absent), for the odd rule that counts them.
    static int ObjLen(TObj obj);

    // [SECTION] Setters: remove the key if present, then append it with the new value.
    void SetInt(TObj obj, std::string_view key, long long v);
    void SetBool(TObj obj, std::string_view key, bool b);
    void SetStr(TObj obj, std::string_view key, const std::string& s);
    // A whole JSON value (used to carry the rules file into a new campaign).
    void SetJson(TObj obj, std::string_view key, TJson value);
    // value := Clamp(value + d, 0, cap): "add d capped at cap".
    void AddCapped(TObj obj, std::string_view key, long long d, int cap);
    // A new empty object or array under key (removed and appended anew).
    TObj NewObj(TObj obj, std::string_view key);
    TArr NewArr(TObj obj, std::string_view key);
    void Remove(TObj obj, std::string_view key);

    // Array elements are changed in place.
    void ArrSetInt(TArr arr, int index, long long v);
    void ArrAppendInt(TArr arr, long long v);
    TObj ArrAppendObj(TArr arr);
    void ArrErase(TArr arr, int index);
    void ArrClear(TArr arr);

    // [SECTION] Lookups by id (absent outside the id ranges or when no campaign)
    TObj Province(int p) const;
    TObj Character(int c) const;
    TObj Faction(int f) const;
    TObj ExileParty(int f) const;
    int FactionCount() const;
    int RuleInt(std::string_view key, int def) const;

    // [SECTION] Shared counts and rules
    bool IsEnded() const;
    bool IsHumanFaction(int f) const;
    bool IsLocalMember(int c, int p, int f) const;
    int ProvinceSoldiers(int p) const;
    int ProvinceHeadcount(int p) const;
    // Number of characters whose `faction` is f, whatever their state.
    int FactionMemberCount(int f) const;
    int Compatibility(int a, int b) const;
    bool AreNeighbours(int p, int q) const;
    bool TreatyActive(int f, int g) const;
    void GainExperience(int c, int dStr, int dDex, int dWis);
    static std::string BeastName(int kind);
    TObj FirstBeastNotice() const;
    void PopBeastNotice();

    // [SECTION] Whole-document operations, for new campaign, load and the console
    // Replaces the document; the previous one is returned so a failed load can restore it.
    std::optional<TJson> ReplaceDocument(std::optional<TJson> doc);
    // Read-only access to the whole document, for serialisation and the console.
    const TJson* Document() const { return document_ ? &*document_ : nullptr; }
    // The value at an RFC 6901 pointer ("" or "/" is the whole document), nullptr when
    // absent; throws TGameError on a malformed pointer.
    const TJson* AtPointer(const std::string& pointer) const;
    // Console edits by JSON Pointer. Both throw TGameError on a malformed pointer or a
    // missing parent; they invalidate every cached view of the document.
    void SetAtPointer(const std::string& pointer, const TJson& value);
    void RemoveAtPointer(const std::string& pointer);

    // Counts every write to the document; equal revisions mean nothing was written in
    // between (how the console notices a computer tick that changed nothing).
    std::uint64_t Revision() const { return revision_; }

    // For tests: the derived index agrees with a fresh scan of the document.
    bool IndexMatchesDocument() const;

private:
    struct TCharIndex {
        bool present = false;
        bool alive = false;
        bool captured = false;
        bool overflow = false;
        bool exile = false;
        int province = 0;
        int faction = 0;
        int soldiers = 0;
    };
    struct TIndex {
        bool valid = false;
        TArr provinces = nullptr;
        TArr characters = nullptr;
        TArr factions = nullptr;
        std::array<TObj, kCharacterCount + 1> charObj{};
        std::array<TCharIndex, kCharacterCount + 1> chars{};
    };

    const TIndex& Index() const;
    void Invalidate() {
        index_.valid = false;
        ++revision_;
    }
    void AfterSet(TObj obj, std::string_view key);
    static TCharIndex ReadCharIndex(TObj ch);

    std::optional<TJson> document_;
    std::deque<std::string> chronicle_;
    mutable TIndex index_;
    std::uint64_t revision_ = 0;
    std::uint64_t chronicleAdded_ = 0;
};

}  // namespace reedmark
