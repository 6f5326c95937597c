// fontgen: draws assets/font.bmp, the game's 16 x 16 bitmap font, from the glyph source.
//
//   fontgen SOURCE OUT.bmp [--preview OUT.png]
//
// SOURCE is tools/fontgen/glyphs.txt: one "glyph CODE LABEL" header per character code
// 32..127, each followed by 16 rows of 16 cells ('#' ink, '.' paper). The BMP is a grid of
// 16 x 6 cells (code c at column c mod 16, row (c - 32) div 16), 256 x 96 pixels, 24-bit
// uncompressed and bottom-up, white ink on black. The output is byte-for-byte deterministic.
// --preview also renders sample lines at every on-screen size with nearest sampling, the
// way the game scales glyphs, so the face can be judged by eye.
#include <array>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kCell = 16;
constexpr int kFirstCode = 32;
constexpr int kGlyphCount = 96;
constexpr int kColumns = 16;
constexpr int kRows = kGlyphCount / kColumns;
constexpr int kWidth = kCell * kColumns;
constexpr int kHeight = kCell * kRows;

using TGlyph = std::array<std::array<bool, kCell>, kCell>;  // [row][column], true = ink
using TFont = std::array<TGlyph, kGlyphCount>;

// [SECTION] Glyph source

class TSourceError : public std::runtime_error {
   public:
    TSourceError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}
};

// Reads the glyph source; every code 32..127 must appear exactly once with 16 full rows.
TFont ReadGlyphs(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    TFont font{};
    std::array<bool, kGlyphCount> seen{};
    int current = -1;  // index of the glyph whose rows are being read
    int rowsRead = 0;
    int number = 0;
    std::string line;
    auto finishGlyph = [&]() {
        if (current >= 0 && rowsRead != kCell)
            throw TSourceError(path, number,
                               "glyph " + std::to_string(current + kFirstCode) + " has " + std::to_string(rowsRead) +
                                   " rows, expected 16");
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line.rfind("glyph ", 0) == 0) {
            finishGlyph();
            std::istringstream header(line.substr(6));
            int code = 0;
            std::string label;
            if (!(header >> code) || code < kFirstCode || code >= kFirstCode + kGlyphCount)
                throw TSourceError(path, number, "glyph code must be 32..127");
            std::getline(header >> std::ws, label);
            if (label.size() == 1 && label[0] != static_cast<char>(code))
                throw TSourceError(path, number, "label '" + label + "' is not character " + std::to_string(code));
            current = code - kFirstCode;
            if (seen[current]) throw TSourceError(path, number, "glyph " + std::to_string(code) + " appears twice");
            seen[current] = true;
            rowsRead = 0;
            continue;
        }
        if (current < 0) throw TSourceError(path, number, "row before the first glyph header");
        if (rowsRead == kCell) throw TSourceError(path, number, "more than 16 rows");
        if (line.size() != kCell) throw TSourceError(path, number, "a row has 16 cells");
        for (int x = 0; x < kCell; ++x) {
            char cell = line[static_cast<size_t>(x)];
            if (cell != '#' && cell != '.') throw TSourceError(path, number, "cells are '#' or '.'");
            font[current][rowsRead][x] = cell == '#';
        }
        ++rowsRead;
    }
    finishGlyph();
    for (int i = 0; i < kGlyphCount; ++i)
        if (!seen[i]) throw TSourceError(path, number, "glyph " + std::to_string(i + kFirstCode) + " is missing");
    return font;
}

bool Ink(const TFont& font, int code, int x, int y) {
    return font[code - kFirstCode][y][x];
}

// [SECTION] BMP output

void PutLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// 24-bit BI_RGB, bottom-up; a row of 768 bytes needs no padding.
std::string EncodeBmp(const TFont& font) {
    constexpr uint32_t kHeaderSize = 14 + 40;
    constexpr uint32_t kRowBytes = kWidth * 3;
    constexpr uint32_t kImageSize = kRowBytes * kHeight;
    static_assert(kRowBytes % 4 == 0);
    std::string out;
    out += "BM";
    PutLE(out, kHeaderSize + kImageSize, 4);
    PutLE(out, 0, 4);  // reserved
    PutLE(out, kHeaderSize, 4);
    PutLE(out, 40, 4);  // BITMAPINFOHEADER
    PutLE(out, kWidth, 4);
    PutLE(out, kHeight, 4);  // positive: bottom-up
    PutLE(out, 1, 2);        // planes
    PutLE(out, 24, 2);       // bits per pixel
    PutLE(out, 0, 4);        // BI_RGB
    PutLE(out, kImageSize, 4);
    PutLE(out, 2835, 4);  // 72 dpi
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);  // colours used
    PutLE(out, 0, 4);  // important colours
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            int code = kFirstCode + (y / kCell) * kColumns + x / kCell;
            char value = Ink(font, code, x % kCell, y % kCell) ? static_cast<char>(0xFF) : 0;
            out.append(3, value);
        }
    }
    return out;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

// [SECTION] Preview

struct TCanvas {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    TCanvas(int w, int h, uint32_t colour) : width(w), height(h), rgb(static_cast<size_t>(w * h * 3)) {
        Fill(0, 0, w, h, colour);
    }
    void Put(int x, int y, uint32_t colour) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        size_t at = static_cast<size_t>((y * width + x) * 3);
        rgb[at] = static_cast<uint8_t>(colour >> 16);
        rgb[at + 1] = static_cast<uint8_t>(colour >> 8);
        rgb[at + 2] = static_cast<uint8_t>(colour);
    }
    void Fill(int x0, int y0, int w, int h, uint32_t colour) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) Put(x, y, colour);
    }
};

// Draws text as the game does: cell scaled to size x size with nearest sampling,
// advancing size * 3 / 4 per character.
void DrawText(TCanvas& canvas, const TFont& font, int x, int y, int size, const std::string& text, uint32_t colour) {
    for (size_t i = 0; i < text.size(); ++i) {
        int code = static_cast<unsigned char>(text[i]);
        if (code < kFirstCode || code >= kFirstCode + kGlyphCount) code = '?';
        int left = x + static_cast<int>(i) * (size * 3 / 4);
        for (int dy = 0; dy < size; ++dy)
            for (int dx = 0; dx < size; ++dx)
                if (Ink(font, code, dx * kCell / size, dy * kCell / size)) canvas.Put(left + dx, y + dy, colour);
    }
}

uint32_t Crc32(const std::string& bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void PutBE(std::string& out, uint32_t value) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutChunk(std::string& png, const std::string& type, const std::string& data) {
    PutBE(png, static_cast<uint32_t>(data.size()));
    std::string body = type + data;
    png += body;
    PutBE(png, Crc32(body));
}

// An RGB PNG with stored (uncompressed) deflate blocks: large, but needs no library.
std::string EncodePng(const TCanvas& canvas) {
    std::string raw;
    for (int y = 0; y < canvas.height; ++y) {
        raw.push_back(0);  // filter: none
        raw.append(reinterpret_cast<const char*>(&canvas.rgb[static_cast<size_t>(y * canvas.width * 3)]),
                   static_cast<size_t>(canvas.width * 3));
    }
    std::string zlib = {0x78, 0x01};
    constexpr size_t kBlock = 65535;
    for (size_t at = 0; at < raw.size() || at == 0; at += kBlock) {
        size_t length = std::min(kBlock, raw.size() - at);
        bool last = at + length >= raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<char>(length & 0xFF));
        zlib.push_back(static_cast<char>(length >> 8));
        zlib.push_back(static_cast<char>(~length & 0xFF));
        zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
        zlib.append(raw, at, length);
        if (last) break;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE(zlib, (b << 16) | a);
    std::string header;
    PutBE(header, static_cast<uint32_t>(canvas.width));
    PutBE(header, static_cast<uint32_t>(canvas.height));
    header += {8, 2, 0, 0, 0};  // 8-bit RGB, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", "");
    return png;
}

void WritePreview(const TFont& font, const std::string& path) {
    const std::vector<std::string> lines = {
        "Lanterns drift where the reeds bow;",    "quick oaths, fixed jaws & vexed kings.",
        "WILLOW FORD: 37 BOATS, 1,250 MEN (64%)", "abcdefghijklmnopqrstuvwxyz 0123456789",
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ !?.,;:'\"",   "#$%&()*+-/<=>@[\\]^_`{|}~ \x7f Hi, Lin!",
    };
    const std::vector<int> sizes = {12, 14, 16, 18, 20, 22, 24, 28};
    int height = 16;
    for (int size : sizes) height += static_cast<int>(lines.size()) * (size + 4) + 8;
    constexpr int kHalf = 820;
    TCanvas canvas(kHalf * 2, height, 0x202838);
    canvas.Fill(kHalf, 0, kHalf, height, 0xE8DCC0);  // the right half is parchment
    int y = 8;
    for (int size : sizes) {
        for (const std::string& line : lines) {
            DrawText(canvas, font, 8, y, size, line, 0xF0D850);
            DrawText(canvas, font, kHalf + 8, y, size, line, 0x302010);
            y += size + 4;
        }
        y += 8;
    }
    WriteFile(path, EncodePng(canvas));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--preview")) {
        std::cerr << "usage: fontgen SOURCE OUT.bmp [--preview OUT.png]\n";
        return 2;
    }
    try {
        TFont font = ReadGlyphs(argv[1]);
        WriteFile(argv[2], EncodeBmp(font));
        if (argc == 5) WritePreview(font, argv[4]);
    } catch (const std::exception& error) {
        std::cerr << "fontgen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
