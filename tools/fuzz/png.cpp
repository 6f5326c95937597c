// The fuzz target of the PNG sheets: LoadPNG and TArtwork's loading and painting. Seeds
// are small pictures of every colour type and bit depth, plain and interlaced, encoded
// here; mutations edit the chunks (header fields, palette and transparency sizes, the
// scanlines inside the compressed data, chunk order and lengths) with valid checksums,
// or damage the bytes.
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "art/sheets.hpp"
#include "tools/fuzz/fuzz.hpp"

namespace reedmark::fuzz {

namespace {

namespace fs = std::filesystem;

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";

struct TPngChunk {
    std::string type;
    std::string data;
    bool badCrc = false;
    bool badLength = false;
    std::uint32_t length = 0;  // written instead of the data's own when badLength
};

void Put32(std::string& out, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint32_t Get32(const std::string& s, size_t at) {
    std::uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

std::string Encode(const std::vector<TPngChunk>& chunks) {
    std::string out(kSignature, 8);
    for (const TPngChunk& c : chunks) {
        std::string type = c.type.substr(0, 4);
        type.append(4 - type.size(), 'x');
        Put32(out, c.badLength ? c.length : static_cast<std::uint32_t>(c.data.size()));
        std::string typed = type + c.data;
        out += typed;
        uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
        Put32(out, static_cast<std::uint32_t>(crc) ^ (c.badCrc ? 1u : 0u));
    }
    return out;
}

std::vector<TPngChunk> Decode(const std::string& file) {
    std::vector<TPngChunk> chunks;
    size_t pos = 8;
    while (pos + 12 <= file.size()) {
        std::uint32_t length = Get32(file, pos);
        if (length > file.size() - pos - 12) break;
        chunks.push_back({file.substr(pos + 4, 4), file.substr(pos + 8, length)});
        pos += 12 + length;
    }
    return chunks;
}

std::string Deflate(const std::string& raw, int level) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), level) != Z_OK)
        return "";
    out.resize(size);
    return out;
}

// The inflated image data, or nullopt when it does not inflate (at most 4 MB).
std::optional<std::string> Inflate(const std::string& packed) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::nullopt;
    std::string out;
    char buffer[16384];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    int status = Z_OK;
    while (status == Z_OK && out.size() < (4u << 20)) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
        if (status == Z_BUF_ERROR && z.avail_in == 0) break;
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) return std::nullopt;
    return out;
}

// [SECTION] Seeds

struct TPictureKind {
    int colourType;
    int bitDepth;
};

constexpr TPictureKind kKinds[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                   {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

int Channels(int colourType) {
    switch (colourType) {
        case 2: return 3;
        case 4: return 2;
        case 6: return 4;
        default: return 1;
    }
}

// The filtered scanlines of one picture (or of each Adam7 pass), random filters and bytes.
std::string Scanlines(int width, int height, int colourType, int bitDepth, bool interlaced, TFuzzRandom& rng) {
    struct TPass {
        int x0, y0, dx, dy;
    };
    static constexpr TPass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                       {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    static constexpr TPass kWhole[] = {{0, 0, 1, 1}};
    std::string raw;
    const int bitsPerPixel = Channels(colourType) * bitDepth;
    for (const TPass& pass : interlaced ? std::vector<TPass>(std::begin(kAdam7), std::end(kAdam7))
                                        : std::vector<TPass>(std::begin(kWhole), std::end(kWhole))) {
        int w = (width - pass.x0 + pass.dx - 1) / pass.dx;
        int h = (height - pass.y0 + pass.dy - 1) / pass.dy;
        if (w <= 0 || h <= 0) continue;
        size_t rowBytes = (static_cast<size_t>(w) * static_cast<size_t>(bitsPerPixel) + 7) / 8;
        for (int y = 0; y < h; ++y) {
            raw += static_cast<char>(rng.Below(5));
            for (size_t b = 0; b < rowBytes; ++b) raw += static_cast<char>(rng.Below(256));
        }
    }
    return raw;
}

std::string HeaderData(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType, int interlace) {
    std::string ihdr;
    Put32(ihdr, width);
    Put32(ihdr, height);
    ihdr += static_cast<char>(bitDepth);
    ihdr += static_cast<char>(colourType);
    ihdr += '\0';  // deflate
    ihdr += '\0';  // adaptive filtering
    ihdr += static_cast<char>(interlace);
    return ihdr;
}

std::string RandomBytes(size_t n, TFuzzRandom& rng) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>(rng.Below(256));
    return s;
}

std::vector<TPngChunk> MakePicture(const TPictureKind& kind, bool interlaced, TFuzzRandom& rng) {
    int width = 1 + rng.Below(40);
    int height = 1 + rng.Below(40);
    std::vector<TPngChunk> chunks;
    chunks.push_back({"IHDR", HeaderData(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                                         kind.bitDepth, kind.colourType, interlaced ? 1 : 0)});
    if (kind.colourType == 3) {
        int entries = 1 + rng.Below(1 << std::min(kind.bitDepth, 8));
        chunks.push_back({"PLTE", RandomBytes(static_cast<size_t>(3 * entries), rng)});
        if (rng.Chance(50)) chunks.push_back({"tRNS", RandomBytes(static_cast<size_t>(1 + rng.Below(entries)), rng)});
    } else if ((kind.colourType == 0 || kind.colourType == 2) && rng.Chance(40)) {
        chunks.push_back({"tRNS", RandomBytes(kind.colourType == 0 ? 2 : 6, rng)});
    }
    if (rng.Chance(30)) chunks.push_back({"gAMA", RandomBytes(4, rng)});
    std::string packed =
        Deflate(Scanlines(width, height, kind.colourType, kind.bitDepth, interlaced, rng), 1 + rng.Below(9));
    // The compressed data split over one to three chunks.
    int parts = 1 + rng.Below(3);
    size_t at = 0;
    for (int i = 0; i < parts; ++i) {
        size_t len = i == parts - 1 ? packed.size() - at
                                    : std::min(packed.size() - at, packed.size() / static_cast<size_t>(parts));
        chunks.push_back({"IDAT", packed.substr(at, len)});
        at += len;
    }
    if (rng.Chance(20)) chunks.push_back({"tEXt", std::string("Comment\0made in code", 20)});
    chunks.push_back({"IEND", ""});
    return chunks;
}

// [SECTION] Mutations

std::uint32_t InterestingSide(TFuzzRandom& rng, std::uint32_t now) {
    const std::uint32_t sides[] = {0,          1,          2,       3,       7,       8,     9,     15,
                                   16,         17,         255,     256,     16383,   16384, 16385, 0x7FFFFFFF,
                                   0x80000000, 0xFFFFFFFF, now - 1, now + 1, now * 2, 4096,  8192,  70000};
    return sides[rng.Below(static_cast<int>(std::size(sides)))];
}

void EditHeader(std::string& ihdr, TFuzzRandom& rng) {
    if (ihdr.size() < 13) {
        ihdr.append(13 - ihdr.size(), '\0');
        return;
    }
    switch (rng.Below(5)) {
        case 0: {
            size_t at = rng.Chance(50) ? 0 : 4;
            std::string side;
            Put32(side, InterestingSide(rng, Get32(ihdr, at)));
            ihdr.replace(at, 4, side);
            return;
        }
        case 1: {
            static constexpr int depths[] = {0, 1, 2, 3, 4, 8, 16, 32, 255};
            ihdr[8] = static_cast<char>(depths[rng.Below(9)]);
            return;
        }
        case 2: ihdr[9] = static_cast<char>(rng.Below(8)); return;
        case 3: ihdr[10 + static_cast<size_t>(rng.Below(3))] = static_cast<char>(rng.Below(3)); return;
        default: ihdr.resize(static_cast<size_t>(rng.Below(20)), '\0'); return;
    }
}

// The scanlines inside the compressed data changed and compressed again, so the damage
// reaches the filters and the pixel unpacking rather than stopping at zlib.
void EditScanlines(std::vector<TPngChunk>& chunks, TFuzzRandom& rng) {
    std::string packed;
    size_t first = chunks.size();
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (chunks[i].type != "IDAT") continue;
        first = std::min(first, i);
        packed += chunks[i].data;
    }
    if (first == chunks.size()) return;
    std::optional<std::string> raw = Inflate(packed);
    if (!raw) return;
    std::string& r = *raw;
    switch (rng.Below(5)) {
        case 0:  // a filter byte (or any byte) out of range
            if (!r.empty())
                r[static_cast<size_t>(rng.Below(static_cast<int>(r.size())))] = static_cast<char>(5 + rng.Below(251));
            break;
        case 1: r.resize(static_cast<size_t>(rng.Below(static_cast<int>(r.size()) + 1))); break;
        case 2: r += RandomBytes(static_cast<size_t>(1 + rng.Below(64)), rng); break;
        case 3: r = DamageBytes(r, rng); break;
        default:
            for (char& b : r)
                if (rng.Chance(5)) b = static_cast<char>(rng.Below(256));
            break;
    }
    chunks.erase(std::remove_if(chunks.begin(), chunks.end(), [](const TPngChunk& c) { return c.type == "IDAT"; }),
                 chunks.end());
    chunks.insert(chunks.begin() + static_cast<std::ptrdiff_t>(std::min(first, chunks.size())),
                  TPngChunk{"IDAT", Deflate(r, 6)});
}

void MutateChunks(std::vector<TPngChunk>& chunks, TFuzzRandom& rng) {
    int n = static_cast<int>(chunks.size());
    if (n == 0) return;
    size_t i = static_cast<size_t>(rng.Below(n));
    switch (rng.Below(10)) {
        case 0:
        case 1:
            for (TPngChunk& c : chunks)
                if (c.type == "IHDR") EditHeader(c.data, rng);
            return;
        case 2:
        case 3: EditScanlines(chunks, rng); return;
        case 4: chunks.erase(chunks.begin() + static_cast<std::ptrdiff_t>(i)); return;
        case 5:
            if (n < 12) chunks.insert(chunks.begin() + static_cast<std::ptrdiff_t>(i), chunks[i]);
            return;
        case 6: std::swap(chunks[i], chunks[static_cast<size_t>(rng.Below(n))]); return;
        case 7: {
            // A palette or transparency of an odd size, or a chunk nobody knows.
            static const char* const types[] = {"PLTE", "tRNS", "sBIT", "bKGD", "hIST", "gAMA", "zzZz", "ABCD", "IDAT"};
            static constexpr int sizes[] = {0, 1, 2, 3, 4, 6, 255, 256, 765, 768, 769, 771};
            TPngChunk extra{types[rng.Below(9)], RandomBytes(static_cast<size_t>(sizes[rng.Below(12)]), rng)};
            chunks.insert(chunks.begin() + rng.Below(n + 1), extra);
            return;
        }
        case 8: chunks[i].data = DamageBytes(chunks[i].data, rng); return;
        default:
            if (rng.Chance(50)) {
                chunks[i].badLength = true;
                chunks[i].length = InterestingSide(rng, static_cast<std::uint32_t>(chunks[i].data.size()));
            } else {
                chunks[i].badCrc = true;
            }
            return;
    }
}

// [SECTION] The target

class TPngTarget : public TTarget {
   public:
    explicit TPngTarget(const std::string& dir) : dir_(dir), artDir_(dir + "/art"), scratch_(dir + "/scratch.png") {}

    void Setup() override { fs::create_directories(artDir_); }

    void MakeSeeds(TFuzzRandom& rng) override {
        for (const TPictureKind& kind : kKinds)
            for (bool interlaced : {false, true}) seeds_.push_back(Encode(MakePicture(kind, interlaced, rng)));
    }

    std::string NextInput(TFuzzRandom& rng) override {
        const std::string& seed = rng.Pick(seeds_);
        if (rng.Chance(20)) return DamageBytes(seed, rng);
        std::vector<TPngChunk> chunks = Decode(seed);
        int edits = MutationCount(rng);
        for (int e = 0; e < edits; ++e) MutateChunks(chunks, rng);
        return Encode(chunks);
    }

    std::string InputPath() const override { return artDir_ + "/" + kCharacterSheetFile; }
    std::string Extension() const override { return "png"; }

    TVerdict Run(const std::string& input) override {
        std::unique_ptr<TArt> art;
        try {
            art = LoadPNG(InputPath());
        } catch (const TArtError&) {
            ExpectArtworkRefused(input);
            return TVerdict::kRefused;
        }
        if (art == nullptr) throw TFailure("LoadPNG found no file");
        if (art->Width() < 1 || art->Height() < 1 || art->Width() > kArtMaxSide || art->Height() > kArtMaxSide ||
            art->Pixels().size() != static_cast<size_t>(art->Width()) * static_cast<size_t>(art->Height()))
            throw TFailure("a picture of an impossible size");
        SavePNG(*art, scratch_);
        std::unique_ptr<TArt> again = LoadPNG(scratch_);
        if (again == nullptr || again->Pixels() != art->Pixels())
            throw TFailure("a picture saved and read back differs");
        Paint(input);
        return TVerdict::kAccepted;
    }

   private:
    // The same file as all three sheets: each is read, and every painter draws from it.
    void WriteSheets(const std::string& input) {
        std::ofstream(artDir_ + "/" + kTerrainSheetFile, std::ios::binary | std::ios::trunc) << input;
        std::ofstream(artDir_ + "/" + kLandscapeFile, std::ios::binary | std::ios::trunc) << input;
    }

    void ExpectArtworkRefused(const std::string& input) {
        WriteSheets(input);
        TArtwork artwork;
        try {
            artwork.LoadArtwork(artDir_);
        } catch (const TArtError&) {
            return;
        }
        throw TFailure("a sheet LoadPNG refuses was loaded as artwork");
    }

    void Paint(const std::string& input) {
        WriteSheets(input);
        TArtwork artwork;
        artwork.LoadArtwork(artDir_);
        if (!artwork.HasCharacterSheet() || !artwork.HasTerrainSheet() || !artwork.HasLandscape())
            throw TFailure("a sheet that loads is missing from the artwork");
        static const char* const professions[] = {"scholar", "trader", "fisher", "wrestler", "", "hunter"};
        for (auto [w, h] : {std::pair{96, 120}, std::pair{5, 3}, std::pair{1, 1}}) {
            TArt portrait(w, h);
            for (int id : {0, 1, 7, 11, 12, 100, 255, -1})
                for (int k = 0; k < 6; ++k) artwork.PaintPortrait(portrait, id, k % 2 == 1, professions[k]);
            artwork.PaintLandscape(portrait);
        }
        TArt field(160, 120);
        for (int cell = -1; cell <= 16; ++cell)
            artwork.PaintTerrainSprite(field, cell, cell * 9 - 20, cell * 7 - 10, 1 + cell * 3 % 40, 1 + cell * 5 % 30,
                                       cell * 20, cell % 2 == 0);
    }

    std::string dir_;
    std::string artDir_;
    std::string scratch_;
    std::vector<std::string> seeds_;
};

}  // namespace

std::unique_ptr<TTarget> MakePngTarget(const std::string& workDir) {
    return std::make_unique<TPngTarget>(workDir);
}

}  // namespace reedmark::fuzz
