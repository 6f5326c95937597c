// musicgen scores: reads the text score of a track into voices of timed notes.
//
// A score is a list of lines; ';' starts a comment. Header lines set the loop:
//   tempo 66        beats per minute
//   meter 4         beats per bar
//   bars 16         bars in the loop; every voice must fill exactly this many
//   room 0.8        reverb size (0..0.95); damp 0.4 reverb damping (0..1); seed 7
// A phrase is a named run of tokens that voices can insert:
//   phrase NAME ... end
// A voice plays one instrument:
//   voice NAME INSTRUMENT key=value ... (lines of tokens) ... end
// Voice settings: gain (level), send (share to the reverb), decay (ring time, s), bright
// (0..1), gate (share of each length held), humanize (timing spread, ms), octave (shift),
// attack and release (s), ratio (bell), bend (drum pitch drop), breath (flute), ring (0 stops
// a string at the end of its length), pitch (a pitch name for unpitched hits).
// Tokens:
//   D4:1        a note (pitch, ':' and a length in beats: 2, 1.5, 1/2, 1/3)
//   D3+A3:4     a chord
//   x:1/2       an unpitched hit (drums use their voice's pitch= setting)
//   r:1         a rest
//   ...!  ...?  accent or soft, written after the length (D4:1!)
//   |           bar line: the voice must stand exactly on a bar boundary here
//   @NAME  @NAME*4  @NAME^-2  @NAME^5*2   insert a phrase, repeated and/or transposed
#include "score.hpp"

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace musicgen {
namespace {

constexpr double kEpsilon = 1e-6;
constexpr int kMaxDepth = 8;
constexpr int kMaxRepeat = 256;
constexpr size_t kMaxNotes = 200000;
constexpr long kMaxTokens = 2000000;  // tokens played after phrase expansion, for the whole score
constexpr double kMaxSeconds = 600;   // longest loop

// The voice settings a score may use, with their allowed ranges; anything else is a typo.
struct TSetting {
    const char* key;
    double low;
    double high;
};
constexpr TSetting kSettings[] = {
    {"gain", 0, 8},      {"send", 0, 1},    {"decay", 0.01, 30},   {"bright", 0, 1},       {"gate", 0.05, 1},
    {"humanize", 0, 50}, {"octave", -3, 3}, {"attack", 0.001, 10}, {"release", 0.001, 10}, {"ratio", 0.1, 10},
    {"bend", 0, 4},      {"breath", 0, 1},  {"ring", 0, 1},
};
constexpr double kDefaultVelocity = 0.75;
constexpr double kAccentVelocity = 1.0;
constexpr double kSoftVelocity = 0.45;

struct TToken {
    std::string text;
    int line = 0;
};

class TReader {
   public:
    TReader(std::string path, std::function<bool(const std::string&)> known)
        : path_(std::move(path)), known_(std::move(known)) {}

    TScore Read();

   private:
    [[noreturn]] void Fail(int line, const std::string& message) const {
        throw std::runtime_error(path_ + ":" + std::to_string(line) + ": " + message);
    }
    double Number(const std::string& text, int line) const;
    double Number(const std::string& text, int line, double low, double high, const std::string& what) const;
    double Length(const std::string& text, int line) const;
    void Play(TVoice& voice, double& time, const std::vector<TToken>& tokens, int transpose, int depth);
    void PlayToken(TVoice& voice, double& time, const TToken& token, int transpose, int depth);

    std::string path_;
    std::function<bool(const std::string&)> known_;
    TScore score_;
    std::map<std::string, std::vector<TToken>> phrases_;
    long tokensPlayed_ = 0;
};

double TReader::Number(const std::string& text, int line) const {
    size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        Fail(line, "'" + text + "' is not a number");
    }
    if (used != text.size() || !std::isfinite(value)) Fail(line, "'" + text + "' is not a number");
    return value;
}

// A number that must lie in [low, high] (checked before any conversion to an integer).
double TReader::Number(const std::string& text, int line, double low, double high, const std::string& what) const {
    double value = Number(text, line);
    if (value < low || value > high) {
        std::ostringstream range;
        range << what << " must be " << low << ".." << high;
        Fail(line, range.str());
    }
    return value;
}

// A length in beats: "2", "1.5" or a fraction "1/3".
double TReader::Length(const std::string& text, int line) const {
    size_t slash = text.find('/');
    double value = slash == std::string::npos
                       ? Number(text, line)
                       : Number(text.substr(0, slash), line) / Number(text.substr(slash + 1), line);
    if (!(value > 0 && value <= 256)) Fail(line, "length '" + text + "' must be above 0 and at most 256 beats");
    return value;
}

void TReader::Play(TVoice& voice, double& time, const std::vector<TToken>& tokens, int transpose, int depth) {
    for (const TToken& token : tokens) PlayToken(voice, time, token, transpose, depth);
}

void TReader::PlayToken(TVoice& voice, double& time, const TToken& token, int transpose, int depth) {
    const std::string& text = token.text;
    if (++tokensPlayed_ > kMaxTokens) Fail(token.line, "the score expands to too many notes");
    if (text == "|") {
        double bars = time / score_.meter;
        if (std::fabs(bars - std::round(bars)) > kEpsilon) Fail(token.line, "bar line in the middle of a bar");
        return;
    }
    if (text[0] == '@') {
        // @NAME[^transpose][*count]
        std::string name = text.substr(1);
        int count = 1;
        int shift = 0;
        size_t star = name.find('*');
        if (star != std::string::npos) {
            count = static_cast<int>(Number(name.substr(star + 1), token.line, 1, kMaxRepeat, "repeat count"));
            name.resize(star);
        }
        size_t caret = name.find('^');
        if (caret != std::string::npos) {
            shift = static_cast<int>(Number(name.substr(caret + 1), token.line, -48, 48, "transposition"));
            name.resize(caret);
        }
        auto phrase = phrases_.find(name);
        if (phrase == phrases_.end()) Fail(token.line, "unknown phrase '" + name + "'");
        if (depth >= kMaxDepth) Fail(token.line, "phrases nested too deeply");
        for (int i = 0; i < count; ++i) Play(voice, time, phrase->second, transpose + shift, depth + 1);
        return;
    }
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0) Fail(token.line, "'" + text + "' is not PITCH:LENGTH");
    std::string pitches = text.substr(0, colon);
    std::string length = text.substr(colon + 1);
    double velocity = kDefaultVelocity;
    if (!length.empty() && (length.back() == '!' || length.back() == '?')) {
        velocity = length.back() == '!' ? kAccentVelocity : kSoftVelocity;
        length.pop_back();
    }
    double beats = Length(length, token.line);
    if (pitches != "r") {
        TNote note;
        note.start = time;
        note.length = beats;
        note.velocity = velocity;
        if (pitches != "x") {
            std::stringstream parts(pitches);
            std::string pitch;
            while (std::getline(parts, pitch, '+')) {
                double hertz = 0;
                try {
                    hertz = PitchHertz(pitch);
                } catch (const std::exception& error) {
                    Fail(token.line, error.what());
                }
                note.hertz.push_back(hertz * std::pow(2.0, transpose / 12.0));
            }
        }
        if (voice.notes.size() >= kMaxNotes) Fail(token.line, "too many notes");
        voice.notes.push_back(std::move(note));
    }
    time += beats;
    if (time > score_.Beats() + kEpsilon) Fail(token.line, "voice '" + voice.name + "' runs past the end of the loop");
}

std::vector<std::string> Words(const std::string& line) {
    std::string text = line.substr(0, line.find(';'));
    std::istringstream in(text);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

TScore TReader::Read() {
    std::ifstream in(path_);
    if (!in) throw std::runtime_error("cannot open " + path_);
    std::string line;
    int number = 0;
    enum class TBlock { None, Phrase, Voice } block = TBlock::None;
    std::string phraseName;
    TVoice voice;
    double time = 0;
    bool begun = false;  // a phrase or voice has started: the header is closed
    while (std::getline(in, line)) {
        ++number;
        std::vector<std::string> words = Words(line);
        if (words.empty()) continue;
        const std::string& head = words[0];
        if (block != TBlock::None) {
            if (head == "end") {
                if (block == TBlock::Voice) {
                    if (std::fabs(time - score_.Beats()) > kEpsilon)
                        Fail(number, "voice '" + voice.name + "' lasts " + std::to_string(time) + " beats, the loop " +
                                         std::to_string(score_.Beats()));
                    score_.voices.push_back(std::move(voice));
                    voice = TVoice{};
                }
                block = TBlock::None;
                continue;
            }
            for (const std::string& word : words) {
                TToken token{word, number};
                if (block == TBlock::Phrase)
                    phrases_[phraseName].push_back(token);
                else
                    PlayToken(voice, time, token, 0, 0);
            }
            continue;
        }
        bool header =
            head == "tempo" || head == "meter" || head == "bars" || head == "room" || head == "damp" || head == "seed";
        if (header && begun) Fail(number, "'" + head + "' must come before the phrases and voices");
        begun = begun || !header;
        auto argument = [&](size_t i) -> const std::string& {
            if (words.size() <= i) Fail(number, "'" + head + "' needs more words");
            return words[i];
        };
        if (head == "tempo") {
            score_.tempo = Number(argument(1), number, 20, 300, "tempo");
        } else if (head == "meter") {
            score_.meter = static_cast<int>(Number(argument(1), number, 1, 16, "meter"));
        } else if (head == "bars") {
            score_.bars = static_cast<int>(Number(argument(1), number, 1, 512, "bars"));
        } else if (head == "room") {
            score_.room = Number(argument(1), number, 0, 0.95, "room");
        } else if (head == "damp") {
            score_.damp = Number(argument(1), number, 0, 1, "damp");
        } else if (head == "seed") {
            score_.seed = static_cast<uint32_t>(Number(argument(1), number, 0, 4294967295.0, "seed"));
        } else if (head == "phrase") {
            phraseName = argument(1);
            if (phrases_.count(phraseName)) Fail(number, "phrase '" + phraseName + "' defined twice");
            phrases_[phraseName];
            block = TBlock::Phrase;
        } else if (head == "voice") {
            if (score_.Seconds() > kMaxSeconds) Fail(number, "the loop is longer than 600 seconds");
            voice = TVoice{};
            voice.name = argument(1);
            voice.instrument = argument(2);
            if (!known_(voice.instrument)) Fail(number, "unknown instrument '" + voice.instrument + "'");
            for (size_t i = 3; i < words.size(); ++i) {
                size_t equals = words[i].find('=');
                if (equals == std::string::npos || equals == 0) Fail(number, "voice settings are key=value");
                std::string key = words[i].substr(0, equals);
                std::string value = words[i].substr(equals + 1);
                // pitch= takes a pitch name; every other setting is a number.
                if (key != "pitch") {
                    const TSetting* setting = nullptr;
                    for (const TSetting& known : kSettings)
                        if (key == known.key) setting = &known;
                    if (!setting) Fail(number, "unknown voice setting '" + key + "'");
                    voice.params[key] = Number(value, number, setting->low, setting->high, key);
                    continue;
                }
                try {
                    voice.params[key] = PitchHertz(value);
                } catch (const std::exception& error) {
                    Fail(number, error.what());
                }
            }
            time = 0;
            block = TBlock::Voice;
        } else {
            Fail(number, "unknown line '" + head + "'");
        }
    }
    if (block != TBlock::None) Fail(number, "missing 'end'");
    if (score_.voices.empty()) Fail(number, "a score needs at least one voice");
    return score_;
}

}  // namespace

double PitchHertz(const std::string& name) {
    static const int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw std::runtime_error("bad pitch '" + name + "'");
    int semitone = kSteps[name[0] - 'A'];
    size_t at = 1;
    while (at < name.size() && (name[at] == '#' || name[at] == 'b')) semitone += name[at++] == '#' ? 1 : -1;
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '8') throw std::runtime_error("bad pitch '" + name + "'");
    int midi = 12 * (name[at] - '0' + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

TScore ReadScore(const std::string& path, const std::function<bool(const std::string&)>& knownInstrument) {
    return TReader(path, knownInstrument).Read();
}

}  // namespace musicgen
