// TGame: document access, lookups, the chronicle, the shared counts and the derived
// index behind them.
#include "model/game.hpp"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace reedmark {

namespace {

constexpr std::string_view kHotKeys[] = {"alive",    "captured", "overflow", "role",
                                         "province", "faction",  "soldiers"};

bool IsHotKey(std::string_view key) {
    return std::find(std::begin(kHotKeys), std::end(kHotKeys), key) != std::end(kHotKeys);
}

TJson* Member(TObj obj, std::string_view key) {
    if (obj == nullptr) return nullptr;
    for (auto& [name, value] : *obj) {
        if (name == key) return &value;
    }
    return nullptr;
}

int Saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, -kIntLimit, kIntLimit)); }

// The integer value of a JSON value, or nullopt when it is not a number.
std::optional<int> IntOf(const TJson& v) {
    switch (v.type()) {
    case TJson::value_t::number_integer:
        return Saturate(v.get<std::int64_t>());
    case TJson::value_t::number_unsigned: {
        auto u = v.get<std::uint64_t>();
        return u > static_cast<std::uint64_t>(kIntLimit) ? kIntLimit : static_cast<int>(u);
    }
    case TJson::value_t::number_float: {
        double d = v.get<double>();
        if (!(d == d)) return std::nullopt;  // NaN cannot come from JSON text, but be safe
        d = std::clamp(d, -static_cast<double>(kIntLimit), static_cast<double>(kIntLimit));
        return static_cast<int>(d);
    }
    default:
        return std::nullopt;
    }
}

void EraseKey(TObj obj, std::string_view key) {
    for (auto it = obj->begin(); it != obj->end(); ++it) {
        if (it->first == key) {
            obj->erase(it);
            return;
        }
    }
}

// Appends a member. An object's members live in a vector of (const name, value) pairs;
// growing it the standard way copies every value (the pair cannot be moved without
// risk), which would move nested objects and arrays to new memory and leave every
// handle into them dangling. So the vector is grown here by moving the values, which
// keeps their nested containers where they are.
void AppendMember(TObj obj, std::string_view key, TJson value) {
    if (obj->size() == obj->capacity()) {
        TJson::object_t grown;
        grown.reserve(std::max<size_t>(8, obj->capacity() * 2));
        for (auto& member : *obj) grown.emplace_back(member.first, std::move(member.second));
        obj->swap(grown);
    }
    obj->emplace_back(std::string(key), std::move(value));
}

TObj ObjectOf(TJson& v) { return v.get_ptr<TObj>(); }
TArr ArrayOf(TJson& v) { return v.get_ptr<TArr>(); }

}  // namespace

int Clamp(long long v, long long lo, long long hi) { return static_cast<int>(std::max(std::min(v, hi), lo)); }

TGame::TGame() = default;
TGame::~TGame() = default;

// [SECTION] Document and chronicle

TObj TGame::Root() const {
    if (!document_) return nullptr;
    return const_cast<TJson&>(*document_).get_ptr<TObj>();
}

void TGame::AddLog(const std::string& line) {
    chronicle_.push_back(line);
    ++chronicleAdded_;
    while (chronicle_.size() > static_cast<size_t>(kChronicleLimit)) chronicle_.pop_front();
}

std::optional<TJson> TGame::ReplaceDocument(std::optional<TJson> doc) {
    std::swap(document_, doc);
    Invalidate();
    return doc;
}

// [SECTION] Getters

int TGame::GetInt(TObj obj, std::string_view key, int def) {
    const TJson* v = Member(obj, key);
    if (v == nullptr) return def;
    return IntOf(*v).value_or(def);
}

long long TGame::GetRawInt64(TObj obj, std::string_view key, long long def) {
    const TJson* v = Member(obj, key);
    if (v == nullptr) return def;
    if (v->is_number_integer()) return static_cast<long long>(v->get<std::int64_t>());  // signed or unsigned
    if (v->is_number_float()) return static_cast<long long>(IntOf(*v).value_or(0));
    return def;
}

std::string TGame::GetStr(TObj obj, std::string_view key, const std::string& def) {
    const TJson* v = Member(obj, key);
    if (v == nullptr || !v->is_string()) return def;
    return v->get_ref<const std::string&>();
}

bool TGame::GetBool(TObj obj, std::string_view key) {
    const TJson* v = Member(obj, key);
    return v != nullptr && v->is_boolean() && v->get<bool>();
}

bool TGame::Has(TObj obj, std::string_view key) { return Member(obj, key) != nullptr; }

TObj TGame::GetObj(TObj obj, std::string_view key) {
    TJson* v = Member(obj, key);
    return v == nullptr ? nullptr : ObjectOf(*v);
}

TArr TGame::GetArr(TObj obj, std::string_view key) {
    TJson* v = Member(obj, key);
    return v == nullptr ? nullptr : ArrayOf(*v);
}

int TGame::ArrLen(TArr arr) {
    if (arr == nullptr) return 0;
    return static_cast<int>(std::min<size_t>(arr->size(), static_cast<size_t>(kIntLimit)));
}

int TGame::ArrInt(TArr arr, int index, int def) {
    if (arr == nullptr || index < 0 || static_cast<size_t>(index) >= arr->size()) return def;
    return IntOf((*arr)[static_cast<size_t>(index)]).value_or(def);
}

TObj TGame::ArrObj(TArr arr, int index) {
    if (arr == nullptr || index < 0 || static_cast<size_t>(index) >= arr->size()) return nullptr;
    return ObjectOf((*arr)[static_cast<size_t>(index)]);
}

int TGame::ObjLen(TObj obj) { return obj == nullptr ? 0 : static_cast<int>(obj->size()); }

// [SECTION] Setters

void TGame::SetInt(TObj obj, std::string_view key, long long v) {
    if (obj == nullptr) return;
    EraseKey(obj, key);
    AppendMember(obj, key, TJson(static_cast<std::int64_t>(v)));
    AfterSet(obj, key);
}

void TGame::SetBool(TObj obj, std::string_view key, bool b) {
    if (obj == nullptr) return;
    EraseKey(obj, key);
    AppendMember(obj, key, TJson(b));
    AfterSet(obj, key);
}

void TGame::SetStr(TObj obj, std::string_view key, const std::string& s) {
    if (obj == nullptr) return;
    EraseKey(obj, key);
    AppendMember(obj, key, TJson(s));
    AfterSet(obj, key);
}

void TGame::SetJson(TObj obj, std::string_view key, TJson value) {
    if (obj == nullptr) return;
    Invalidate();
    EraseKey(obj, key);
    AppendMember(obj, key, std::move(value));
}

void TGame::AddCapped(TObj obj, std::string_view key, long long d, int cap) {
    SetInt(obj, key, Clamp(static_cast<long long>(GetInt(obj, key, 0)) + d, 0, cap));
}

TObj TGame::NewObj(TObj obj, std::string_view key) {
    if (obj == nullptr) return nullptr;
    Invalidate();
    EraseKey(obj, key);
    AppendMember(obj, key, TJson::object());
    return ObjectOf(obj->back().second);
}

TArr TGame::NewArr(TObj obj, std::string_view key) {
    if (obj == nullptr) return nullptr;
    Invalidate();
    EraseKey(obj, key);
    AppendMember(obj, key, TJson::array());
    return ArrayOf(obj->back().second);
}

void TGame::Remove(TObj obj, std::string_view key) {
    if (obj == nullptr) return;
    Invalidate();
    EraseKey(obj, key);
}

void TGame::ArrSetInt(TArr arr, int index, long long v) {
    if (arr == nullptr || index < 0 || static_cast<size_t>(index) >= arr->size()) return;
    (*arr)[static_cast<size_t>(index)] = TJson(static_cast<std::int64_t>(v));
    ++revision_;
    if (arr == index_.characters || arr == index_.provinces || arr == index_.factions) Invalidate();
}

void TGame::ArrAppendInt(TArr arr, long long v) {
    if (arr == nullptr) return;
    arr->emplace_back(static_cast<std::int64_t>(v));
    ++revision_;
    if (arr == index_.characters || arr == index_.provinces || arr == index_.factions) Invalidate();
}

TObj TGame::ArrAppendObj(TArr arr) {
    if (arr == nullptr) return nullptr;
    arr->emplace_back(TJson::object());
    ++revision_;
    if (arr == index_.characters || arr == index_.provinces || arr == index_.factions) Invalidate();
    return ObjectOf(arr->back());
}

void TGame::ArrErase(TArr arr, int index) {
    if (arr == nullptr || index < 0 || static_cast<size_t>(index) >= arr->size()) return;
    arr->erase(arr->begin() + index);
    ++revision_;
    if (arr == index_.characters || arr == index_.provinces || arr == index_.factions) Invalidate();
}

void TGame::ArrClear(TArr arr) {
    if (arr == nullptr) return;
    arr->clear();
    ++revision_;
    if (arr == index_.characters || arr == index_.provinces || arr == index_.factions) Invalidate();
}

// [SECTION] Derived index

TGame::TCharIndex TGame::ReadCharIndex(TObj ch) {
    TCharIndex e;
    if (ch == nullptr) return e;
    e.present = true;
    e.alive = GetBool(ch, "alive");
    e.captured = GetBool(ch, "captured");
    e.overflow = GetBool(ch, "overflow");
    e.exile = GetStr(ch, "role") == "exile";
    e.province = GetInt(ch, "province", 0);
    e.faction = GetInt(ch, "faction", 0);
    e.soldiers = GetInt(ch, "soldiers", 0);
    return e;
}

const TGame::TIndex& TGame::Index() const {
    if (index_.valid) return index_;
    TObj root = Root();
    index_.provinces = GetArr(root, "provinces");
    index_.characters = GetArr(root, "characters");
    index_.factions = GetArr(root, "factions");
    for (int c = 1; c <= kCharacterCount; ++c) {
        TObj ch = ArrObj(index_.characters, c - 1);
        index_.charObj[c] = ch;
        index_.chars[c] = ReadCharIndex(ch);
    }
    index_.valid = true;
    return index_;
}

void TGame::AfterSet(TObj obj, std::string_view key) {
    ++revision_;
    if (!index_.valid) return;
    if (obj == Root()) {
        // A root key replaced by a scalar may have been one of the cached arrays.
        if (key == "provinces" || key == "characters" || key == "factions") Invalidate();
        return;
    }
    if (!IsHotKey(key)) return;
    for (int c = 1; c <= kCharacterCount; ++c) {
        if (index_.charObj[c] == obj) {
            index_.chars[c] = ReadCharIndex(obj);
            return;
        }
    }
}

bool TGame::IndexMatchesDocument() const {
    const TIndex& idx = Index();
    TArr chars = GetArr(Root(), "characters");
    for (int c = 1; c <= kCharacterCount; ++c) {
        TCharIndex fresh = ReadCharIndex(ArrObj(chars, c - 1));
        const TCharIndex& e = idx.chars[c];
        if (fresh.present != e.present || fresh.alive != e.alive || fresh.captured != e.captured ||
            fresh.overflow != e.overflow || fresh.exile != e.exile || fresh.province != e.province ||
            fresh.faction != e.faction || fresh.soldiers != e.soldiers)
            return false;
    }
    return true;
}

// [SECTION] Lookups

TObj TGame::Province(int p) const {
    if (p < 1 || p > kProvinceCount) return nullptr;
    return ArrObj(Index().provinces, p - 1);
}

TObj TGame::Character(int c) const {
    if (c < 1 || c > kCharacterCount) return nullptr;
    return Index().charObj[c];
}

TObj TGame::Faction(int f) const {
    if (f < 1) return nullptr;
    return ArrObj(Index().factions, f - 1);
}

int TGame::FactionCount() const { return ArrLen(Index().factions); }

TObj TGame::ExileParty(int f) const {
    TArr parties = GetArr(Root(), "exileParties");
    for (int i = 0; i < ArrLen(parties); ++i) {
        TObj party = ArrObj(parties, i);
        if (party != nullptr && GetInt(party, "leader", 0) == f) return party;
    }
    return nullptr;
}

int TGame::RuleInt(std::string_view key, int def) const { return GetInt(GetObj(Root(), "rules"), key, def); }

// [SECTION] Shared counts and rules

bool TGame::IsEnded() const { return GetBool(Root(), "ended"); }

bool TGame::IsHumanFaction(int f) const {
    TObj fac = Faction(f);
    return GetBool(fac, "human") && GetBool(fac, "active");
}

bool TGame::IsLocalMember(int c, int p, int f) const {
    if (c < 1 || c > kCharacterCount) return false;
    const TCharIndex& e = Index().chars[c];
    return e.present && e.alive && !e.captured && e.province == p && e.faction == f;
}

int TGame::ProvinceSoldiers(int p) const {
    TObj prov = Province(p);
    int owner = GetInt(prov, "owner", 0);
    const TIndex& idx = Index();
    long long sum = 0;
    for (int c = 1; c <= kCharacterCount; ++c) {
        const TCharIndex& e = idx.chars[c];
        if (e.present && e.alive && !e.captured && e.province == p && e.faction == owner && !e.exile)
            sum += e.soldiers;
    }
    return Saturate(sum);
}

int TGame::ProvinceHeadcount(int p) const {
    TObj prov = Province(p);
    int owner = GetInt(prov, "owner", 0);
    const TIndex& idx = Index();
    int count = 0;
    for (int c = 1; c <= kCharacterCount; ++c) {
        const TCharIndex& e = idx.chars[c];
        if (e.present && e.alive && e.province == p && !e.exile && !e.overflow && e.faction != 0 &&
            (e.faction == owner || e.captured))
            ++count;
    }
    return count;
}

int TGame::FactionMemberCount(int f) const {
    const TIndex& idx = Index();
    int count = 0;
    for (int c = 1; c <= kCharacterCount; ++c)
        if (idx.chars[c].present && idx.chars[c].faction == f) ++count;
    return count;
}

int TGame::Compatibility(int a, int b) const {
    TObj ca = Character(a);
    TObj cb = Character(b);
    long long d = 0;
    for (std::string_view key : {"integrity", "mercy", "courage"})
        d += std::llabs(static_cast<long long>(GetInt(ca, key, 0)) - GetInt(cb, key, 0));
    return Clamp(100 - d / 3, 0, 100);
}

bool TGame::AreNeighbours(int p, int q) const {
    TObj pp = Province(p);
    if (pp == nullptr || Province(q) == nullptr) return false;
    TArr nb = GetArr(pp, "neighbors");
    for (int i = 0; i < ArrLen(nb); ++i) {
        if (ArrInt(nb, i, 0) == q) return true;
    }
    return false;
}

bool TGame::TreatyActive(int f, int g) const {
    TArr treaties = GetArr(Root(), "treaties");
    for (int i = 0; i < ArrLen(treaties); ++i) {
        TObj t = ArrObj(treaties, i);
        int a = GetInt(t, "a", 0);
        int b = GetInt(t, "b", 0);
        if ((a == f && b == g) || (a == g && b == f)) return GetInt(t, "years", 0) > 0;
    }
    return false;
}

void TGame::GainExperience(int c, int dStr, int dDex, int dWis) {
    TObj ch = Character(c);
    if (ch == nullptr) return;
    TObj xp = GetObj(ch, "xp");
    if (xp == nullptr) xp = NewObj(ch, "xp");
    const std::pair<std::string_view, int> grants[] = {{"strength", dStr}, {"dexterity", dDex}, {"wisdom", dWis}};
    for (auto [ability, d] : grants) {
        long long t = static_cast<long long>(GetInt(xp, ability, 0)) + d;
        int value = Clamp(GetInt(ch, ability, 0) + t / 100, -kIntLimit, 100);
        SetInt(ch, ability, value);
        SetInt(xp, ability, value == 100 ? 0 : t % 100);
    }
}

std::string TGame::BeastName(int kind) {
    switch (kind) {
    case 1: return "wolf";
    case 2: return "leopard";
    case 3: return "tiger";
    case 4: return "bear";
    default: return "beast";
    }
}

TObj TGame::FirstBeastNotice() const { return ArrObj(GetArr(Root(), "beastNotices"), 0); }

void TGame::PopBeastNotice() {
    TArr notices = GetArr(Root(), "beastNotices");
    if (ArrLen(notices) > 0) ArrErase(notices, 0);
}

// [SECTION] JSON Pointer access for the console

namespace {

// Splits an RFC 6901 pointer into its unescaped tokens; "" and "/" name the whole document.
std::vector<std::string> PointerTokens(const std::string& pointer) {
    std::vector<std::string> tokens;
    if (pointer.empty() || pointer == "/") return tokens;
    if (pointer[0] != '/') throw TGameError("Malformed pointer: " + pointer);
    std::string token;
    for (size_t i = 1; i <= pointer.size(); ++i) {
        if (i == pointer.size() || pointer[i] == '/') {
            tokens.push_back(token);
            token.clear();
        } else if (pointer[i] == '~') {
            if (i + 1 < pointer.size() && pointer[i + 1] == '0') token += '~';
            else if (i + 1 < pointer.size() && pointer[i + 1] == '1') token += '/';
            else throw TGameError("Malformed pointer: " + pointer);
            ++i;
        } else {
            token += pointer[i];
        }
    }
    return tokens;
}

// An array index token: decimal digits without leading zeros.
std::optional<size_t> IndexToken(const std::string& token) {
    if (token.empty() || token.size() > 9) return std::nullopt;
    if (token.size() > 1 && token[0] == '0') return std::nullopt;
    for (char ch : token)
        if (ch < '0' || ch > '9') return std::nullopt;
    return static_cast<size_t>(std::stoul(token));
}

TJson* Step(TJson* at, const std::string& token) {
    if (at == nullptr) return nullptr;
    if (at->is_object()) {
        auto it = at->find(token);
        return it == at->end() ? nullptr : &*it;
    }
    if (at->is_array()) {
        auto index = IndexToken(token);
        if (!index || *index >= at->size()) return nullptr;
        return &(*at)[*index];
    }
    return nullptr;
}

}  // namespace

const TJson* TGame::AtPointer(const std::string& pointer) const {
    std::vector<std::string> tokens = PointerTokens(pointer);
    if (!document_) return nullptr;
    TJson* at = const_cast<TJson*>(&*document_);
    for (const auto& token : tokens) at = Step(at, token);
    return at;
}

void TGame::SetAtPointer(const std::string& pointer, const TJson& value) {
    std::vector<std::string> tokens = PointerTokens(pointer);
    if (!document_) throw TGameError("No campaign loaded.");
    Invalidate();
    if (tokens.empty()) {
        *document_ = value;
        return;
    }
    TJson* parent = &*document_;
    for (size_t i = 0; i + 1 < tokens.size(); ++i) parent = Step(parent, tokens[i]);
    const std::string& last = tokens.back();
    if (parent != nullptr && parent->is_object()) {
        TObj obj = parent->get_ptr<TObj>();
        EraseKey(obj, last);
        AppendMember(obj, last, value);
        return;
    }
    if (parent != nullptr && parent->is_array()) {
        if (last == "-") {
            parent->push_back(value);
            return;
        }
        auto index = IndexToken(last);
        if (!index || *index >= parent->size()) throw TGameError("No such array element: " + pointer);
        (*parent)[*index] = value;
        return;
    }
    throw TGameError("No such parent: " + pointer);
}

void TGame::RemoveAtPointer(const std::string& pointer) {
    std::vector<std::string> tokens = PointerTokens(pointer);
    if (!document_) throw TGameError("No campaign loaded.");
    if (tokens.empty()) throw TGameError("Cannot remove the whole document.");
    TJson* parent = &*document_;
    for (size_t i = 0; i + 1 < tokens.size(); ++i) parent = Step(parent, tokens[i]);
    const std::string& last = tokens.back();
    if (parent != nullptr && parent->is_object() && Step(parent, last) != nullptr) {
        Invalidate();
        EraseKey(parent->get_ptr<TObj>(), last);
        return;
    }
    if (parent != nullptr && parent->is_array()) {
        auto index = IndexToken(last);
        if (index && *index < parent->size()) {
            Invalidate();
            parent->erase(parent->begin() + static_cast<std::ptrdiff_t>(*index));
            return;
        }
    }
    throw TGameError("Nothing to remove at " + pointer);
}

}  // namespace reedmark
