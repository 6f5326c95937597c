// Mutations for the fuzzer: structure-aware edits of a parsed document (the kind a
// player makes by hand in a text editor) and raw damage of the bytes of a file.
#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "tools/fuzz/fuzz.hpp"

namespace reedmark::fuzz {

namespace {

// Numbers where rules and checks change behaviour: ids at the edges of their ranges
// (provinces 1..49, characters 1..255, field cells 0..251, columns and rows), the
// stores' caps, the saturation limit of the getters and the limits of 32 and 64 bits.
constexpr long long kInterestingInts[] = {0,
                                          1,
                                          -1,
                                          2,
                                          3,
                                          5,
                                          7,
                                          10,
                                          11,
                                          12,
                                          13,
                                          14,
                                          17,
                                          18,
                                          30,
                                          48,
                                          49,
                                          50,
                                          60,
                                          99,
                                          100,
                                          101,
                                          251,
                                          252,
                                          254,
                                          255,
                                          256,
                                          999,
                                          1000,
                                          9999,
                                          10000,
                                          10001,
                                          65535,
                                          65536,
                                          999'999'999,
                                          1'000'000'000,
                                          1'000'000'001,
                                          -1'000'000'000,
                                          -1'000'000'001,
                                          2'147'483'647,
                                          2'147'483'648,
                                          -2'147'483'647,
                                          -2'147'483'648,
                                          -2'147'483'649,
                                          4'294'967'295,
                                          4'294'967'296,
                                          std::numeric_limits<long long>::max(),
                                          std::numeric_limits<long long>::min(),
                                          std::numeric_limits<long long>::min() + 1};

// Member names the rules read, so that an added member is one the game looks at.
const char* const kKnownKeys[] = {
    "a",          "active",     "age",          "alive",       "arms",        "arms0",      "arms1",
    "arrows",     "attacker",   "b",            "battle",      "beast",       "beastNotices", "body",
    "bodyMax",    "captor",     "captured",     "castleHold",  "castles",     "char",       "characters",
    "commander0", "commander1", "courage",      "day",         "dazzled",     "defender",   "defensePrompt",
    "deploy",     "destination", "dexterity",   "difficulty",  "ended",       "epidemic",   "exileParties",
    "faction",    "factions",   "fires",        "flood",       "food",        "food0",      "food1",
    "foodAfter",  "foodBefore", "foodLoss",     "fur",         "gold",        "governor",   "home",
    "human",      "humanCount", "id",           "integrity",   "land",        "leader",     "loyalty",
    "mapSeed",    "mercy",      "metal",        "month",       "name",        "navigator",  "neighbors",
    "origin",     "overflow",   "owner",        "policy",      "popularity",  "profession", "province",
    "provinces",  "q",          "queue",        "queueIndex",  "queueOwners", "r",          "rate",
    "reserve",    "resolved",   "result",       "riot",        "river",       "rng",        "role",
    "rules",      "seed",       "ship",         "shipyard",    "side",        "skill",      "skill0",
    "skill1",     "smithy",     "snow",         "soldiers",    "spent",       "strength",   "superior",
    "support",    "terrain",    "town",         "townActor",   "townAttempts", "treaties",  "units",
    "wealth",     "weather",    "wind",         "winner",      "wisdom",      "writ",       "xp",
    "year",       "years",      "lightBody",    "standardBody", "heavyBody",  "missionBody", "oathLoyalty",
    "oathCompatibility", "foodBuyCentsPerRate", "foodSellCentsPerRate", "monthlyRecovery",
    "beastChancePercent", "invasionYear", "taxSupport", "writPopularity"};

// Texts the rules compare against, and a few that are merely odd.
const char* const kStrings[] = {"exile",  "leader", "follower", "sworn companion", "prisoner", "free",
                                "dead",   "Balanced", "Develop", "Expand",         "trader",   "performer",
                                "outlaw", "fisher", "",         "x",               "0",        "-1"};

template <typename T, size_t N>
const T& PickFrom(const T (&items)[N], TFuzzRandom& rng) {
    return items[static_cast<size_t>(rng.Below(static_cast<int>(N)))];
}

// A place in a document: the value, the container holding it and where in it.
struct TSpot {
    TJson* node = nullptr;
    TJson* parent = nullptr;  // nullptr for the root
    size_t index = 0;         // position in the parent (member or element)
    std::string pointer;      // the JSON Pointer of node
};

std::string EscapeToken(const std::string& token) {
    std::string out;
    for (char ch : token) {
        if (ch == '~') out += "~0";
        else if (ch == '/') out += "~1";
        else out += ch;
    }
    return out;
}

// The members of a campaign (or scenario) the rules read most, and how much more
// often the walk enters them than any other member.
constexpr std::pair<const char*, int> kRichMembers[] = {{"provinces", 40}, {"characters", 40}, {"battle", 25},
                                                        {"factions", 10},  {"rules", 4},       {"exileParties", 4},
                                                        {"treaties", 3},   {"queue", 3},       {"beastNotices", 2}};

// A member of the root object, the rich ones favoured.
size_t PickRootMember(const TJson::object_t& members, TFuzzRandom& rng) {
    std::vector<int> weights;
    int total = 0;
    for (const auto& m : members) {
        int w = 1;
        for (const auto& [name, weight] : kRichMembers)
            if (m.first == name) w = weight;
        weights.push_back(w);
        total += w;
    }
    int draw = rng.Below(total);
    for (size_t i = 0; i < weights.size(); ++i) {
        if (draw < weights[i]) return i;
        draw -= weights[i];
    }
    return 0;
}

// A random walk down from the root; it may stop at any container on the way.
TSpot PickSpot(TJson& root, TFuzzRandom& rng) {
    TSpot spot;
    spot.node = &root;
    for (int depth = 0; depth < 64; ++depth) {
        TJson& n = *spot.node;
        if (!n.is_structured() || n.empty()) break;
        if (depth > 0 && rng.Chance(20)) break;
        size_t i = depth == 0 && n.is_object()
                       ? PickRootMember(*n.get_ptr<TJson::object_t*>(), rng)
                       : static_cast<size_t>(rng.Below(static_cast<int>(std::min<size_t>(n.size(), 1u << 30))));
        TSpot next;
        next.parent = spot.node;
        next.index = i;
        if (n.is_object()) {
            auto& member = *(n.get_ptr<TJson::object_t*>()->begin() + static_cast<std::ptrdiff_t>(i));
            next.node = &member.second;
            next.pointer = spot.pointer + "/" + EscapeToken(member.first);
        } else {
            next.node = &n[i];
            next.pointer = spot.pointer + "/" + std::to_string(i);
        }
        spot = next;
    }
    return spot;
}

std::string OddString(TFuzzRandom& rng) {
    switch (rng.Below(4)) {
    case 0: return std::string(static_cast<size_t>(1 + rng.Below(4000)), 'W');
    case 1: return std::string("a\0b\x01\x1f\"\\/", 8);
    case 2: return "\xc3\xa9\xe2\x82\xac\xf0\x9f\x8c\x8a";
    default: return PickFrom(kStrings, rng);
    }
}

}  // namespace

TJson InterestingNumber(TFuzzRandom& rng) {
    switch (rng.Below(16)) {
    case 0: return TJson(std::numeric_limits<std::uint64_t>::max());
    case 1: return TJson(rng.Chance(50) ? 1e300 : -1e300);
    case 2: return TJson(rng.Chance(50) ? 0.5 : -0.0);
    case 3: return TJson(2.5e9);
    default: return TJson(PickFrom(kInterestingInts, rng));
    }
}

// A value of a random kind, usually another type than the one it replaces.
TJson RandomValue(TFuzzRandom& rng) {
    switch (rng.Below(9)) {
    case 0: return nullptr;
    case 1: return rng.Chance(50);
    case 2: return PickFrom(kStrings, rng);
    case 3: return OddString(rng);
    case 4: return TJson::object();
    case 5: return TJson::array();
    case 6: {
        TJson a = TJson::array();
        int n = rng.Below(6);
        for (int i = 0; i < n; ++i) a.push_back(InterestingNumber(rng));
        return a;
    }
    default: return InterestingNumber(rng);
    }
}

namespace {

long long SaturatingAdd(long long a, long long b) {
    long long r = 0;
    if (__builtin_add_overflow(a, b, &r)) return b > 0 ? std::numeric_limits<long long>::max()
                                                       : std::numeric_limits<long long>::min();
    return r;
}

long long SaturatingMul(long long a, long long b) {
    long long r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        return (a < 0) != (b < 0) ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
    return r;
}

// A number moved a little or a lot from where it was.
TJson Nudge(const TJson& v, TFuzzRandom& rng) {
    if (!v.is_number_integer() || v.is_number_unsigned()) return InterestingNumber(rng);
    long long x = v.get<std::int64_t>();
    static constexpr long long deltas[] = {-1, 1, -2, 2, -10, 10, -100, 100};
    switch (rng.Below(6)) {
    case 0: return SaturatingMul(x, -1);
    case 1: return SaturatingMul(x, 1000);
    case 2: return SaturatingMul(x, 1'000'000);
    default: return SaturatingAdd(x, PickFrom(deltas, rng));
    }
}

// The element or member at spot is removed from its parent.
void RemoveAt(const TSpot& spot) {
    if (spot.parent == nullptr) return;
    if (spot.parent->is_object()) {
        auto* obj = spot.parent->get_ptr<TJson::object_t*>();
        obj->erase(obj->begin() + static_cast<std::ptrdiff_t>(spot.index));
    } else {
        spot.parent->erase(spot.index);
    }
}

// Cut, repeat, reorder or extend an array (never beyond a few thousand elements).
void MutateArray(TJson& a, TFuzzRandom& rng) {
    constexpr size_t kMaxElements = 4000;
    size_t n = a.size();
    switch (rng.Below(7)) {
    case 0:  // cut
        if (n > 0) a.erase(a.begin() + rng.Below(static_cast<int>(n)), a.end());
        return;
    case 1: {  // repeated
        TJson copy = a;
        int times = 1 + rng.Below(3);
        for (int t = 0; t < times && a.size() + copy.size() <= kMaxElements; ++t)
            for (const auto& e : copy) a.push_back(e);
        return;
    }
    case 2:  // one element repeated in place
        if (n > 0 && n < kMaxElements) {
            size_t i = static_cast<size_t>(rng.Below(static_cast<int>(n)));
            TJson e = a[i];
            a.insert(a.begin() + static_cast<std::ptrdiff_t>(i), e);
        }
        return;
    case 3:  // two elements swapped
        if (n > 1) std::swap(a[static_cast<size_t>(rng.Below(static_cast<int>(n)))], a[static_cast<size_t>(rng.Below(static_cast<int>(n)))]);
        return;
    case 4: a.clear(); return;
    case 5:
        if (n < kMaxElements) a.push_back(rng.Chance(70) ? InterestingNumber(rng) : RandomValue(rng));
        return;
    default:  // reversed
        std::reverse(a.begin(), a.end());
        return;
    }
}

// Members removed, added, reordered.
void MutateObject(TJson& o, TFuzzRandom& rng) {
    auto* members = o.get_ptr<TJson::object_t*>();
    switch (rng.Below(3)) {
    case 0:
        if (!members->empty()) members->erase(members->begin() + rng.Below(static_cast<int>(members->size())));
        return;
    case 1: {
        std::string key = PickFrom(kKnownKeys, rng);
        TJson value = rng.Chance(60) ? InterestingNumber(rng) : RandomValue(rng);
        o[key] = std::move(value);
        return;
    }
    default: {  // the members in another order (rebuilt, since their names are const)
        std::vector<std::pair<std::string, TJson>> moved;
        for (auto& m : *members) moved.emplace_back(m.first, std::move(m.second));
        for (size_t i = moved.size(); i > 1; --i) std::swap(moved[i - 1], moved[static_cast<size_t>(rng.Below(static_cast<int>(i)))]);
        TJson rebuilt = TJson::object();
        for (auto& [k, v] : moved) rebuilt[k] = std::move(v);
        o = std::move(rebuilt);
        return;
    }
    }
}

// The value at the same place in the donor, or a random piece of it.
bool Graft(TJson& doc, const TSpot& spot, const TJson& donor, TFuzzRandom& rng) {
    if (donor.is_object() && doc.is_object() && rng.Chance(25)) {
        // A whole root member of the donor (how a battle gets into a quiet campaign).
        if (donor.empty()) return false;
        const auto& m = *(donor.get_ptr<const TJson::object_t*>()->begin() + rng.Below(static_cast<int>(donor.size())));
        doc[m.first] = m.second;
        return true;
    }
    try {
        TJson::json_pointer ptr(spot.pointer);
        if (!spot.pointer.empty() && donor.contains(ptr)) {
            *spot.node = donor.at(ptr);
            return true;
        }
    } catch (const TJson::exception&) {
    }
    TJson copy = donor;
    TSpot there = PickSpot(copy, rng);
    *spot.node = std::move(*there.node);
    return true;
}

void MutateOnce(TJson& doc, const TJson& donor, TFuzzRandom& rng) {
    TSpot spot = PickSpot(doc, rng);
    TJson& v = *spot.node;
    int op = rng.Below(100);
    if (op < 12) {
        v = RandomValue(rng);
    } else if (op < 40) {
        if (v.is_array() && !v.empty() && rng.Chance(50)) {
            // An element of an id list or a cell list.
            v[static_cast<size_t>(rng.Below(static_cast<int>(v.size())))] = InterestingNumber(rng);
        } else if (v.is_structured()) {
            v = InterestingNumber(rng);
        } else {
            v = InterestingNumber(rng);
        }
    } else if (op < 58) {
        if (v.is_number()) v = Nudge(v, rng);
        else if (v.is_boolean()) v = !v.get<bool>();
        else if (v.is_string()) v = OddString(rng);
        else v = InterestingNumber(rng);
    } else if (op < 70) {
        RemoveAt(spot);
    } else if (op < 82) {
        TJson* a = v.is_array() ? &v : (spot.parent != nullptr && spot.parent->is_array() ? spot.parent : nullptr);
        if (a != nullptr) MutateArray(*a, rng);
        else if (v.is_object()) MutateObject(v, rng);
        else RemoveAt(spot);
    } else if (op < 90) {
        TJson* o = v.is_object() ? &v : (spot.parent != nullptr && spot.parent->is_object() ? spot.parent : nullptr);
        if (o != nullptr) MutateObject(*o, rng);
    } else {
        Graft(doc, spot, donor, rng);
    }
}

}  // namespace

std::uint64_t Hash64(const std::string& bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char b : bytes) {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}

int MutationCount(TFuzzRandom& rng) {
    int n = 1;
    while (n < 24 && rng.Chance(45)) ++n;
    return n;
}

void MutateJson(TJson& doc, const TJson& donor, TFuzzRandom& rng, int count) {
    for (int i = 0; i < count; ++i) MutateOnce(doc, donor, rng);
}

std::string DamageBytes(std::string text, TFuzzRandom& rng) {
    static const char kSpecial[] = "{}[],:\"\\-+.eE0123456789 tfn";
    int edits = 1 + rng.Below(4);
    for (int e = 0; e < edits; ++e) {
        int n = static_cast<int>(std::min<size_t>(text.size(), 1u << 30));
        int at = rng.Below(n + 1);
        switch (rng.Below(7)) {
        case 0:
            if (at < n) text[static_cast<size_t>(at)] ^= static_cast<char>(1 << rng.Below(8));
            break;
        case 1:
            if (at < n) text[static_cast<size_t>(at)] = kSpecial[rng.Below(static_cast<int>(sizeof kSpecial) - 1)];
            break;
        case 2: text.insert(static_cast<size_t>(at), 1, static_cast<char>(rng.Below(256))); break;
        case 3: text.erase(static_cast<size_t>(at), static_cast<size_t>(1 + rng.Below(64))); break;
        case 4: {
            size_t len = static_cast<size_t>(1 + rng.Below(256));
            std::string piece = text.substr(static_cast<size_t>(at), len);
            text.insert(static_cast<size_t>(at), piece);
            break;
        }
        case 5: text.resize(static_cast<size_t>(at)); break;
        default:
            if (at < n && text[static_cast<size_t>(at)] >= '0' && text[static_cast<size_t>(at)] <= '9')
                text.insert(static_cast<size_t>(at), std::string(static_cast<size_t>(1 + rng.Below(12)), '9'));
            break;
        }
    }
    return text;
}

}  // namespace reedmark::fuzz
