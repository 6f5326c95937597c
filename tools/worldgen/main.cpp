// worldgen: builds assets/data/world.json (the four scenarios) and assets/data/rules.json
// from the designer's tables in this directory and the atlas territories.
//
//   worldgen TABLE_DIR OUT_DIR
//
// TABLE_DIR holds provinces.tsv, characters.tsv and scenarios.txt. The output is
// deterministic: the same tables always give byte-identical files. Every scenario is
// started for every playable leader and validated before the generator reports success.
#include <algorithm>
#include <array>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "atlas/atlas.hpp"
#include "model/campaign.hpp"
#include "model/game.hpp"
#include "model/saves.hpp"

namespace reedmark {
namespace {

// [SECTION] Table reading

struct TLine {
    int number = 0;
    std::vector<std::string> fields;
};

class TSourceError : public std::runtime_error {
   public:
    TSourceError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}
};

std::vector<std::string> SplitBy(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

// Reads the non-blank, non-comment lines of a table; tab-separated when tabs is true,
// else split at white space.
std::vector<TLine> ReadLines(const std::string& path, bool tabs) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<TLine> lines;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos || text[first] == '#') continue;
        lines.push_back({number, tabs ? SplitBy(text, '\t') : SplitWords(text)});
    }
    return lines;
}

int ToInt(const std::string& file, int line, const std::string& text) {
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) throw TSourceError(file, line, "not a number: " + text);
    return value;
}

int InRange(const std::string& file, int line, const std::string& what, int value, int lo, int hi) {
    if (value < lo || value > hi)
        throw TSourceError(
            file, line,
            what + " " + std::to_string(value) + " outside " + std::to_string(lo) + ".." + std::to_string(hi));
    return value;
}

// [SECTION] Provinces and characters

struct TProvinceRow {
    std::string name;
    std::map<std::string, int> values;  // castles .. mapSeed
    bool smithy = false;
    bool shipyard = false;
};

// Numeric columns of provinces.tsv after id, name and terrain, with their ranges.
struct TColumn {
    const char* key;
    int lo;
    int hi;
};
constexpr std::array<TColumn, 12> kProvinceColumns = {{{"castles", 1, 7},
                                                       {"rate", 20, 100},
                                                       {"gold", 0, 9999},
                                                       {"food", 0, 9999},
                                                       {"metal", 0, 999},
                                                       {"fur", 0, 999},
                                                       {"skill", 0, 100},
                                                       {"arms", 0, 100},
                                                       {"support", 0, 100},
                                                       {"land", 0, 100},
                                                       {"flood", 0, 100},
                                                       {"wealth", 0, 100}}};

std::vector<TProvinceRow> ReadProvinces(const std::string& dir) {
    const std::string file = "provinces.tsv";
    std::vector<TProvinceRow> rows;
    std::set<int> seeds;
    for (const TLine& line : ReadLines(dir + "/" + file, true)) {
        if (line.fields.size() != 18) throw TSourceError(file, line.number, "expected 18 columns");
        int id = ToInt(file, line.number, line.fields[0]);
        if (id != static_cast<int>(rows.size()) + 1)
            throw TSourceError(file, line.number, "ids must run 1..49 in order");
        TProvinceRow row;
        row.name = line.fields[1];
        for (size_t i = 0; i < kProvinceColumns.size(); ++i) {
            const TColumn& col = kProvinceColumns[i];
            row.values[col.key] =
                InRange(file, line.number, col.key, ToInt(file, line.number, line.fields[3 + i]), col.lo, col.hi);
        }
        row.smithy = InRange(file, line.number, "smithy", ToInt(file, line.number, line.fields[15]), 0, 1) == 1;
        row.shipyard = InRange(file, line.number, "shipyard", ToInt(file, line.number, line.fields[16]), 0, 1) == 1;
        int seed = ToInt(file, line.number, line.fields[17]);
        if (seed == 0 || !seeds.insert(seed).second)
            throw TSourceError(file, line.number, "mapSeed must be non-zero and distinct");
        row.values["mapSeed"] = seed;
        rows.push_back(row);
    }
    if (rows.size() != kProvinceCount) throw std::runtime_error(file + ": expected 49 provinces");
    return rows;
}

struct TCharacterRow {
    std::string name;
    std::string profession;
    std::string pronouns;
    std::map<std::string, int> values;  // age .. home
    bool navigator = false;
    bool ship = false;
};

constexpr std::array<TColumn, 8> kCharacterColumns = {{{"age", 12, 99},
                                                       {"bodyMax", 30, 150},
                                                       {"strength", 1, 100},
                                                       {"dexterity", 1, 100},
                                                       {"wisdom", 1, 100},
                                                       {"integrity", 0, 100},
                                                       {"mercy", 0, 100},
                                                       {"courage", 0, 100}}};

std::vector<TCharacterRow> ReadCharacters(const std::string& dir) {
    const std::string file = "characters.tsv";
    std::vector<TCharacterRow> rows;
    std::set<std::string> names;
    for (const TLine& line : ReadLines(dir + "/" + file, true)) {
        if (line.fields.size() != 15) throw TSourceError(file, line.number, "expected 15 columns");
        int id = ToInt(file, line.number, line.fields[0]);
        if (id != static_cast<int>(rows.size()) + 1)
            throw TSourceError(file, line.number, "ids must run 1..255 in order");
        TCharacterRow row;
        row.name = line.fields[1];
        row.profession = line.fields[2];
        row.pronouns = line.fields[3];
        if (row.name.empty() || !names.insert(row.name).second)
            throw TSourceError(file, line.number, "names must be present and unique");
        for (size_t i = 0; i < kCharacterColumns.size(); ++i) {
            const TColumn& col = kCharacterColumns[i];
            row.values[col.key] =
                InRange(file, line.number, col.key, ToInt(file, line.number, line.fields[4 + i]), col.lo, col.hi);
        }
        row.navigator = InRange(file, line.number, "navigator", ToInt(file, line.number, line.fields[12]), 0, 1) == 1;
        row.ship = InRange(file, line.number, "ship", ToInt(file, line.number, line.fields[13]), 0, 1) == 1;
        row.values["home"] =
            InRange(file, line.number, "home", ToInt(file, line.number, line.fields[14]), 1, kProvinceCount);
        rows.push_back(row);
    }
    if (rows.size() != kCharacterCount) throw std::runtime_error(file + ": expected 255 characters");
    return rows;
}

// [SECTION] Scenario definitions

struct TMember {
    int id = 0;
    bool sworn = false;
};

struct TPlacement {
    int faction = 0;
    int province = 0;
    bool exile = false;
    std::map<std::string, std::string> options;
    std::vector<TMember> members;
    int line = 0;
};

struct TScenarioDef {
    std::string name;
    int year = 0;
    int month = 0;
    int growth = 0;
    std::array<int, kScenarioFactions + 1> popularity{};
    std::array<bool, kScenarioFactions + 1> listed{};
    std::vector<TPlacement> placements;
    std::vector<std::array<int, 3>> treaties;
};

TPlacement ParsePlacement(const std::string& file, const TLine& line) {
    const auto& w = line.fields;
    TPlacement place;
    place.line = line.number;
    place.exile = w[0] == "exile";
    if (w.size() < 4) throw TSourceError(file, line.number, "expected: " + w[0] + " F P ... : members");
    place.faction = InRange(file, line.number, "fellowship", ToInt(file, line.number, w[1]), 1, kScenarioFactions);
    place.province = InRange(file, line.number, "province", ToInt(file, line.number, w[2]), 1, kProvinceCount);
    size_t i = 3;
    for (; i < w.size() && w[i] != ":"; ++i) {
        size_t eq = w[i].find('=');
        if (eq == std::string::npos) throw TSourceError(file, line.number, "expected key=value: " + w[i]);
        place.options[w[i].substr(0, eq)] = w[i].substr(eq + 1);
    }
    if (i == w.size()) throw TSourceError(file, line.number, "missing ':' before the members");
    static const std::set<std::string> realmKeys = {"soldiers", "skill", "arms", "policy"};
    static const std::set<std::string> exileKeys = {"soldiers", "food", "gold"};
    for (const auto& [key, value] : place.options)
        if (!(place.exile ? exileKeys : realmKeys).count(key))
            throw TSourceError(file, line.number, "unknown key " + key);
    for (++i; i < w.size(); ++i) {
        std::string text = w[i];
        TMember m;
        if (!text.empty() && text.back() == '*') {
            m.sworn = true;
            text.pop_back();
        }
        m.id = InRange(file, line.number, "character", ToInt(file, line.number, text), 1, kCharacterCount);
        place.members.push_back(m);
    }
    if (place.members.empty()) throw TSourceError(file, line.number, "a placement needs members");
    // A travelling party holds at most ten people (recruiting stops there).
    if (place.exile && place.members.size() > 10)
        throw TSourceError(file, line.number, "an exile party holds at most ten");
    return place;
}

std::vector<TScenarioDef> ReadScenarios(const std::string& dir) {
    const std::string file = "scenarios.txt";
    std::vector<TScenarioDef> scenarios;
    for (const TLine& line : ReadLines(dir + "/" + file, false)) {
        const auto& w = line.fields;
        const std::string& kind = w[0];
        if (kind == "scenario") {
            if (w.size() < 3) throw TSourceError(file, line.number, "expected: scenario K NAME");
            int k = ToInt(file, line.number, w[1]);
            if (k != static_cast<int>(scenarios.size()) + 1)
                throw TSourceError(file, line.number, "scenarios must run 1..4");
            TScenarioDef def;
            for (size_t i = 2; i < w.size(); ++i) def.name += (i > 2 ? " " : "") + w[i];
            scenarios.push_back(def);
            continue;
        }
        if (scenarios.empty()) throw TSourceError(file, line.number, "a scenario line must come first");
        TScenarioDef& def = scenarios.back();
        auto need = [&](size_t n) {
            if (w.size() != n) throw TSourceError(file, line.number, "wrong number of fields for " + kind);
        };
        auto num = [&](size_t i) { return ToInt(file, line.number, w[i]); };
        if (kind == "start") {
            need(3);
            def.year = InRange(file, line.number, "year", num(1), 1, 326);
            def.month = InRange(file, line.number, "month", num(2), 1, 12);
        } else if (kind == "growth") {
            need(2);
            def.growth = InRange(file, line.number, "growth", num(1), 0, 100);
        } else if (kind == "fellowship") {
            need(3);
            int f = InRange(file, line.number, "fellowship", num(1), 1, kScenarioFactions);
            if (def.listed[f]) throw TSourceError(file, line.number, "fellowship listed twice");
            def.listed[f] = true;
            def.popularity[f] = InRange(file, line.number, "popularity", num(2), 0, 999);
        } else if (kind == "realm" || kind == "exile") {
            def.placements.push_back(ParsePlacement(file, line));
        } else if (kind == "treaty") {
            need(4);
            if (num(1) == num(2)) throw TSourceError(file, line.number, "a treaty binds two different fellowships");
            def.treaties.push_back({InRange(file, line.number, "fellowship", num(1), 1, kScenarioFactions),
                                    InRange(file, line.number, "fellowship", num(2), 1, kScenarioFactions),
                                    InRange(file, line.number, "years", num(3), 1, 99)});
        } else {
            throw TSourceError(file, line.number, "unknown line: " + kind);
        }
    }
    if (scenarios.size() != kScenarioCount) throw std::runtime_error(file + ": expected 4 scenarios");
    for (const TScenarioDef& def : scenarios) {
        for (int f = 1; f <= kScenarioFactions; ++f)
            if (!def.listed[f])
                throw std::runtime_error(file + ": " + def.name + " lacks fellowship " + std::to_string(f));
        if (def.year == 0) throw std::runtime_error(file + ": " + def.name + " lacks its start line");
    }
    return scenarios;
}

// [SECTION] Building one scenario

struct TWorldTables {
    std::vector<TProvinceRow> provinces;
    std::vector<TCharacterRow> characters;
    std::array<std::vector<int>, kProvinceCount + 1> neighbours;
    std::array<bool, kProvinceCount + 1> river{};
};

int OptionInt(const TPlacement& place, const std::string& key, int fallback, int lo, int hi) {
    auto it = place.options.find(key);
    if (it == place.options.end()) return fallback;
    return InRange("scenarios.txt", place.line, key, ToInt("scenarios.txt", place.line, it->second), lo, hi);
}

int Compatibility(const TCharacterRow& a, const TCharacterRow& b) {
    int d = std::abs(a.values.at("integrity") - b.values.at("integrity")) +
            std::abs(a.values.at("mercy") - b.values.at("mercy")) +
            std::abs(a.values.at("courage") - b.values.at("courage"));
    return std::clamp(100 - d / 3, 0, 100);
}

// Where each character stands and whom it serves in one scenario.
struct TAllegiance {
    int faction = 0;
    int province = 0;
    std::string role = "free";
    int soldiers = 0;
    int loyalty = 50;
};

TJson ProvinceObject(const TWorldTables& t, int p, int owner, int governor, const TPlacement* realm, int growth) {
    const TProvinceRow& row = t.provinces[p - 1];
    auto value = [&](const char* key) { return row.values.at(key); };
    auto grown = [&](const char* key, int step, int cap) {
        return owner != 0 ? std::min(cap, value(key) + step) : value(key);
    };
    TJson prov = TJson::object();
    prov["id"] = p;
    prov["name"] = row.name;
    prov["owner"] = owner;
    prov["governor"] = governor;
    prov["neighbors"] = t.neighbours[p];
    prov["castles"] = value("castles");
    prov["rate"] = value("rate");
    prov["gold"] = grown("gold", 10 * growth, 9999);
    prov["food"] = grown("food", 10 * growth, 9999);
    prov["metal"] = value("metal");
    prov["fur"] = value("fur");
    prov["skill"] = realm != nullptr ? OptionInt(*realm, "skill", value("skill"), 0, 100) : value("skill");
    prov["arms"] = realm != nullptr ? OptionInt(*realm, "arms", value("arms"), 0, 100) : value("arms");
    prov["support"] = grown("support", growth, 100);
    prov["land"] = grown("land", growth, 100);
    prov["flood"] = grown("flood", growth, 100);
    prov["wealth"] = grown("wealth", growth, 100);
    std::string policy = "Balanced";
    if (realm != nullptr && realm->options.count("policy")) policy = realm->options.at("policy");
    if (policy != "Balanced" && policy != "Develop" && policy != "Expand")
        throw TSourceError("scenarios.txt", realm->line, "policy must be Balanced, Develop or Expand");
    prov["policy"] = policy;
    prov["smithy"] = row.smithy;
    prov["shipyard"] = row.shipyard;
    prov["snow"] = false;
    prov["beast"] = 0;
    prov["epidemic"] = 0;
    prov["riot"] = false;
    prov["r"] = (p - 1) / 7;
    prov["river"] = t.river[p];
    prov["mapSeed"] = value("mapSeed");
    return prov;
}

TJson CharacterObject(const TCharacterRow& row, const TAllegiance& a) {
    TJson ch = TJson::object();
    ch["name"] = row.name;
    ch["profession"] = row.profession;
    ch["pronouns"] = row.pronouns;
    ch["age"] = row.values.at("age");
    ch["faction"] = a.faction;
    ch["superior"] = a.faction;
    ch["role"] = a.role;
    ch["alive"] = true;
    ch["captured"] = false;
    ch["captor"] = 0;
    ch["resolved"] = false;
    ch["overflow"] = false;
    ch["province"] = a.province;
    ch["soldiers"] = a.soldiers;
    ch["body"] = row.values.at("bodyMax");
    ch["bodyMax"] = row.values.at("bodyMax");
    ch["strength"] = row.values.at("strength");
    ch["dexterity"] = row.values.at("dexterity");
    ch["wisdom"] = row.values.at("wisdom");
    ch["integrity"] = row.values.at("integrity");
    ch["mercy"] = row.values.at("mercy");
    ch["courage"] = row.values.at("courage");
    ch["loyalty"] = a.loyalty;
    ch["navigator"] = row.navigator;
    ch["ship"] = row.ship;
    ch["xp"] = {{"strength", 0}, {"dexterity", 0}, {"wisdom", 0}};
    return ch;
}

TJson BuildScenario(const TWorldTables& t, const TScenarioDef& def) {
    const std::string file = "scenarios.txt";
    std::array<TAllegiance, kCharacterCount + 1> people{};
    for (int c = 1; c <= kCharacterCount; ++c) people[c].province = t.characters[c - 1].values.at("home");
    std::array<int, kProvinceCount + 1> owner{};
    std::array<int, kProvinceCount + 1> governor{};
    std::array<const TPlacement*, kProvinceCount + 1> realmOf{};
    std::array<int, kScenarioFactions + 1> home{};
    std::array<const TPlacement*, kScenarioFactions + 1> exileOf{};
    std::set<int> placed;

    for (const TPlacement& place : def.placements) {
        int f = place.faction;
        if (place.exile) {
            if (exileOf[f] != nullptr || home[f] != 0)
                throw TSourceError(file, place.line, "a fellowship is either settled or has one exile party");
            exileOf[f] = &place;
        } else {
            if (owner[place.province] != 0) throw TSourceError(file, place.line, "province already held");
            if (exileOf[f] != nullptr) throw TSourceError(file, place.line, "an exiled fellowship holds no realm");
            owner[place.province] = f;
            realmOf[place.province] = &place;
            if (home[f] == 0) home[f] = place.province;
        }
        int soldiers = OptionInt(place, "soldiers", 0, 0, 100);
        for (const TMember& m : place.members) {
            if (!placed.insert(m.id).second) throw TSourceError(file, place.line, "character placed twice");
            if (m.id <= kScenarioFactions && m.id != f)
                throw TSourceError(file, place.line, "a leader can only serve his own fellowship");
            TAllegiance& a = people[m.id];
            a.faction = f;
            a.province = place.province;
            a.soldiers = soldiers;
            if (place.exile)
                a.role = "exile";
            else
                a.role = m.id == f ? "leader" : m.sworn ? "sworn companion" : "follower";
            a.loyalty = m.id == f || m.sworn
                            ? 100
                            : std::clamp(60 + Compatibility(t.characters[m.id - 1], t.characters[f - 1]) / 4, 60, 90);
        }
        if (!place.exile && governor[place.province] == 0) {
            bool leaderHere =
                std::any_of(place.members.begin(), place.members.end(), [&](const TMember& m) { return m.id == f; });
            governor[place.province] = leaderHere ? f : place.members.front().id;
        }
    }
    for (int f = 1; f <= kScenarioFactions; ++f) {
        bool homeless = exileOf[f] != nullptr;
        if (!homeless && home[f] == 0)
            throw std::runtime_error(file + ": " + def.name + ": fellowship " + std::to_string(f) +
                                     " has neither realm nor exile party");
        int leaderAt = homeless ? exileOf[f]->province : home[f];
        if (people[f].faction != f || people[f].province != leaderAt)
            throw std::runtime_error(file + ": " + def.name + ": leader " + std::to_string(f) +
                                     " must stand in the seat or with the party");
    }

    TJson doc = TJson::object();
    doc["provinces"] = TJson::array();
    for (int p = 1; p <= kProvinceCount; ++p)
        doc["provinces"].push_back(ProvinceObject(t, p, owner[p], governor[p], realmOf[p], def.growth));
    doc["characters"] = TJson::array();
    for (int c = 1; c <= kCharacterCount; ++c)
        doc["characters"].push_back(CharacterObject(t.characters[c - 1], people[c]));
    doc["factions"] = TJson::array();
    doc["exileParties"] = TJson::array();
    for (int f = 1; f <= kScenarioFactions; ++f) {
        doc["factions"].push_back(
            {{"id", f}, {"leader", f}, {"home", home[f]}, {"popularity", def.popularity[f]}, {"writ", false}});
        if (const TPlacement* x = exileOf[f]) {
            doc["exileParties"].push_back({{"leader", f},
                                           {"province", x->province},
                                           {"food", OptionInt(*x, "food", 0, 0, 9999)},
                                           {"gold", OptionInt(*x, "gold", 0, 0, 9999)}});
        }
    }
    doc["treaties"] = TJson::array();
    for (const auto& [a, b, years] : def.treaties) doc["treaties"].push_back({{"a", a}, {"b", b}, {"years", years}});
    doc["month"] = def.month;
    doc["year"] = def.year;
    return doc;
}

// [SECTION] Output

// One record per line, so the file reads and diffs well.
std::string WorldText(const std::vector<TJson>& scenarios) {
    std::string out = "{\n  \"scenarios\": [\n";
    for (size_t k = 0; k < scenarios.size(); ++k) {
        out += "    {\n";
        const TJson& doc = scenarios[k];
        size_t member = 0;
        for (const auto& [key, value] : doc.items()) {
            out += "      \"" + key + "\": ";
            if (value.is_array() && !value.empty()) {
                out += "[\n";
                for (size_t i = 0; i < value.size(); ++i)
                    out += "        " + value[i].dump() + (i + 1 < value.size() ? ",\n" : "\n");
                out += "      ]";
            } else {
                out += value.dump();
            }
            out += ++member < doc.size() ? ",\n" : "\n";
        }
        out += k + 1 < scenarios.size() ? "    },\n" : "    }\n";
    }
    return out + "  ]\n}\n";
}

// Every rules key the model reads, with the value the game uses when the file is absent.
std::string RulesText() {
    static const std::pair<const char*, int> rules[] = {
        {"lightBody", 10},       {"standardBody", 15},      {"heavyBody", 20},          {"missionBody", 25},
        {"oathLoyalty", 95},     {"oathCompatibility", 70}, {"foodBuyCentsPerRate", 4}, {"foodSellCentsPerRate", 2},
        {"monthlyRecovery", 5},  {"beastChancePercent", 5}, {"invasionYear", 327},      {"taxSupport", 40},
        {"writPopularity", 250},
    };
    TJson doc = TJson::object();
    for (const auto& [key, value] : rules) doc[key] = value;
    return doc.dump(2) + "\n";
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Starts every scenario for every playable leader and with no humans at all; each must
// pass the save-file validation.
void CheckWorld(const std::string& worldPath) {
    for (int k = 1; k <= kScenarioCount; ++k) {
        for (int leader = 0; leader <= kPlayableLeaders; ++leader) {
            TGame game;
            std::vector<int> humans;
            if (leader > 0) humans.push_back(leader);
            NewCampaign(game, worldPath, k, static_cast<int>(humans.size()), 2, humans, 730127);
            std::string message = Validate(game);
            if (!message.empty())
                throw std::runtime_error("scenario " + std::to_string(k) + " with leader " + std::to_string(leader) +
                                         " does not validate: " + message);
        }
    }
}

int Run(const std::string& tableDir, const std::string& outDir) {
    TWorldTables tables;
    tables.provinces = ReadProvinces(tableDir);
    tables.characters = ReadCharacters(tableDir);
    TAtlas atlas;
    for (int p = 1; p <= kProvinceCount; ++p) tables.neighbours[p] = atlas.TouchingProvinces(p);
    tables.river = atlas.MainRiverProvinces();
    std::vector<TJson> scenarios;
    for (const TScenarioDef& def : ReadScenarios(tableDir)) scenarios.push_back(BuildScenario(tables, def));
    WriteText(outDir + "/world.json", WorldText(scenarios));
    WriteText(outDir + "/rules.json", RulesText());
    CheckWorld(outDir + "/world.json");
    return 0;
}

}  // namespace
}  // namespace reedmark

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: worldgen TABLE_DIR OUT_DIR\n";
        return 2;
    }
    try {
        return reedmark::Run(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::cerr << "worldgen: " << e.what() << "\n";
        return 1;
    }
}
