// Reading the sitter descriptions of the character sheet: blocks of "key values" lines.
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "artgen.hpp"

namespace artgen {

std::uint32_t ParseHex(const std::string& text) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw std::runtime_error("colour expected (six hex digits), got \"" + text + "\"");
    return static_cast<std::uint32_t>(std::stoul(text, nullptr, 16));
}

namespace {

void OneOf(const std::string& value, const std::set<std::string>& allowed) {
    if (!allowed.contains(value)) throw std::runtime_error("unknown style \"" + value + "\"");
}

Col ReadCol(std::istringstream& in) {
    std::string word;
    if (!(in >> word)) throw std::runtime_error("colour missing");
    return Hex(ParseHex(word));
}

float ReadNumber(std::istringstream& in, float low, float high) {
    float v = 0;
    if (!(in >> v) || v < low || v > high)
        throw std::runtime_error("number from " + std::to_string(low) + " to " + std::to_string(high) + " expected");
    return v;
}

std::string ReadWord(std::istringstream& in, const std::set<std::string>& allowed) {
    std::string word;
    if (!(in >> word)) throw std::runtime_error("style missing");
    OneOf(word, allowed);
    return word;
}

void ReadLine(TSitter& s, const std::string& key, std::istringstream& in) {
    if (key == "name") {
        std::getline(in >> std::ws, s.name);
    } else if (key == "face") {
        s.faceW = ReadNumber(in, 0.7f, 1.3f);
        s.faceL = ReadNumber(in, 0.7f, 1.3f);
        s.jaw = ReadNumber(in, 0, 1);
    } else if (key == "skin") {
        s.skin = ReadCol(in);
    } else if (key == "age") {
        s.age = ReadNumber(in, 0, 1);
    } else if (key == "hair") {
        s.hair = ReadCol(in);
        s.hairStyle = ReadWord(in, {"topknot", "shaved", "ponytail", "hood", "helmet", "scholarcap", "furcap", "wild",
                                    "bun", "straw", "official", "braid", "elder", "skullcap", "updo", "scarfbun"});
        std::string word;
        s.accent = s.hair;
        s.accent2 = s.hair;
        if (in >> word) s.accent = Hex(ParseHex(word));
        if (in >> word) s.accent2 = Hex(ParseHex(word));
    } else if (key == "brows") {
        s.brows = ReadWord(in, {"thin", "normal", "thick", "wild"});
    } else if (key == "eyes") {
        s.eyes = ReadWord(in, {"calm", "narrow", "wide", "fierce", "kind", "sly"});
    } else if (key == "mouth") {
        s.mouth = ReadWord(in, {"neutral", "smile", "stern", "frown", "grin", "smirk"});
    } else if (key == "beard") {
        s.beard = ReadWord(in, {"none", "stubble", "moustache", "goatee", "neat", "full", "wild", "long"});
        std::string word;
        s.beardCol = s.hair;
        if (in >> word) s.beardCol = Hex(ParseHex(word));
    } else if (key == "scar") {
        s.scar = ReadWord(in, {"none", "brow", "cheek"});
    } else if (key == "jewel") {
        s.jewel = ReadWord(in, {"none", "earrings"});
    } else if (key == "robe") {
        s.robeStyle = ReadWord(in, {"cross", "armour", "fur", "open", "vest", "court"});
        s.robe = ReadCol(in);
        s.trim = ReadCol(in);
        s.inner = ReadCol(in);
    } else if (key == "prop") {
        s.prop = ReadWord(in, {"none", "spear", "bow", "sword", "fan", "axe", "oar", "scroll", "staff"});
    } else if (key == "back") {
        s.backTop = ReadCol(in);
        s.backBottom = ReadCol(in);
        s.glow = ReadCol(in);
        s.scene = ReadWord(
            in, {"mist", "bamboo", "reeds", "mountains", "fire", "palace", "lamps", "river", "forest", "night"});
    } else {
        throw std::runtime_error("unknown key \"" + key + "\"");
    }
    std::string rest;
    if (key != "name" && in >> rest) throw std::runtime_error("unexpected \"" + rest + "\"");
}

}  // namespace

std::vector<TSitter> ReadSitters(const std::string& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::vector<TSitter> sitters;
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        const auto hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream in(line);
        std::string key;
        if (!(in >> key)) continue;
        try {
            if (key == "cell") {
                TSitter s;
                s.cell = static_cast<int>(ReadNumber(in, 0, 15));
                if (s.cell != static_cast<int>(sitters.size())) throw std::runtime_error("cells must come in order");
                sitters.push_back(s);
            } else if (sitters.empty()) {
                throw std::runtime_error("\"cell\" expected first");
            } else {
                ReadLine(sitters.back(), key, in);
            }
        } catch (const std::exception& e) {
            throw std::runtime_error(path + ":" + std::to_string(number) + ": " + e.what());
        }
    }
    if (sitters.size() != 16) throw std::runtime_error(path + ": 16 cells expected");
    return sitters;
}

}  // namespace artgen
