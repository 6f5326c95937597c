// Sprite sheets: PNG decoding of every colour type written here with libpng, refusal of
// damaged and absurd files, the portrait cell rule and painting from loaded sheets.
#include "art/sheets.hpp"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace reedmark {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class SheetFiles : public ::testing::Test {
   protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("reedmark-art-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

struct PngSpec {
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    bool hasTransparentColour = false;
    png_color_16 transparentColour{};
    std::vector<std::vector<png_byte>> rows;  // packed as the PNG stores them (16-bit big-endian)
};

bool WritePngFile(const std::string& path, const PngSpec& spec) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    for (const auto& row : spec.rows) rows.push_back(const_cast<png_bytep>(row.data()));
    // Nothing assigned between setjmp and longjmp is read afterwards, so no local can be clobbered.
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    {
        png_init_io(png, file);
        png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
                     spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (!spec.palette.empty()) png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
        if (!spec.paletteAlpha.empty())
            png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()), nullptr);
        if (spec.hasTransparentColour) png_set_tRNS(png, info, nullptr, 0, &spec.transparentColour);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A PNG signature followed by a correct IHDR chunk and IEND, for sizes libpng will not write.
std::vector<unsigned char> HeaderOnlyPng(std::uint32_t width, std::uint32_t height) {
    std::vector<unsigned char> bytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    auto put32 = [&](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<unsigned char>(v >> shift));
    };
    put32(13);
    const std::size_t typeAt = bytes.size();
    for (char c : std::string("IHDR")) bytes.push_back(static_cast<unsigned char>(c));
    put32(width);
    put32(height);
    for (unsigned char v : {8, 6, 0, 0, 0}) bytes.push_back(v);
    put32(static_cast<std::uint32_t>(crc32(0, bytes.data() + typeAt, 17)));
    put32(0);
    for (char c : std::string("IEND")) bytes.push_back(static_cast<unsigned char>(c));
    put32(0xAE426082);
    return bytes;
}

std::string ErrorOf(const std::string& path) {
    try {
        LoadPNG(path);
    } catch (const TArtError& e) {
        return e.what();
    }
    return "";
}

// [SECTION] Decoding

TEST_F(SheetFiles, EveryColourTypeDecodesToArgbWithHighBytesAndAlphaKept) {
    struct Case {
        const char* name;
        PngSpec spec;
        std::vector<std::uint32_t> expected;
    };
    std::vector<Case> cases;
    cases.push_back({"rgba8",
                     {2,
                      1,
                      PNG_COLOR_TYPE_RGB_ALPHA,
                      8,
                      false,
                      {},
                      {},
                      false,
                      {},
                      {{0x11, 0x22, 0x33, 0x44, 0xAA, 0xBB, 0xCC, 0xFF}}},
                     {0x44112233, 0xFFAABBCC}});
    cases.push_back({"rgb16",
                     {1, 1, PNG_COLOR_TYPE_RGB, 16, false, {}, {}, false, {}, {{0x12, 0x34, 0xAB, 0xCD, 0x00, 0xFF}}},
                     {0xFF12AB00}});
    cases.push_back(
        {"rgba16",
         {1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, {}, {}, false, {}, {{0xFE, 1, 0x80, 2, 0x01, 3, 0x80, 0xFF}}},
         {0x80FE8001}});
    cases.push_back({"palette-trns",
                     {3,
                      1,
                      PNG_COLOR_TYPE_PALETTE,
                      8,
                      false,
                      {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}},
                      {0x00, 0x80},
                      false,
                      {},
                      {{0, 1, 2}}},
                     {0x000A141E, 0x8028323C, 0xFF46505A}});
    cases.push_back({"palette4",
                     {3, 1, PNG_COLOR_TYPE_PALETTE, 4, false, {{1, 2, 3}, {4, 5, 6}}, {}, false, {}, {{0x10, 0x10}}},
                     {0xFF040506, 0xFF010203, 0xFF040506}});
    cases.push_back({"grey8", {1, 1, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, false, {}, {{0x7F}}}, {0xFF7F7F7F}});
    cases.push_back(
        {"grey1", {2, 1, PNG_COLOR_TYPE_GRAY, 1, false, {}, {}, false, {}, {{0x80}}}, {0xFFFFFFFF, 0xFF000000}});
    cases.push_back({"grey-trns",
                     {2, 1, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, true, {0, 0, 0, 0, 0x10}, {{0x10, 0x20}}},
                     {0x00101010, 0xFF202020}});
    cases.push_back(
        {"grey-alpha8", {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {}, {}, false, {}, {{0x40, 0x80}}}, {0x80404040}});
    cases.push_back({"grey-alpha16",
                     {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, {}, {}, false, {}, {{0x12, 0x34, 0xFF, 0x00}}},
                     {0xFF121212}});
    cases.push_back({"rgb-trns",
                     {2, 1, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, true, {0, 1, 2, 3, 0}, {{1, 2, 3, 1, 2, 4}}},
                     {0x00010203, 0xFF010204}});
    // Interlaced: every pixel distinct so a misplaced pass would show.
    Case interlaced{"adam7", {9, 7, PNG_COLOR_TYPE_RGB, 8, true, {}, {}, false, {}, {}}, {}};
    for (int y = 0; y < 7; ++y) {
        std::vector<png_byte> row;
        for (int x = 0; x < 9; ++x) {
            row.insert(row.end(), {static_cast<png_byte>(x * 20), static_cast<png_byte>(y * 30), 7});
            interlaced.expected.push_back(0xFF000007u | (x * 20u) << 16 | (y * 30u) << 8);
        }
        interlaced.spec.rows.push_back(row);
    }
    cases.push_back(interlaced);

    for (const Case& c : cases) {
        const std::string path = Path(std::string(c.name) + ".png");
        ASSERT_TRUE(WritePngFile(path, c.spec)) << c.name;
        auto art = LoadPNG(path);
        ASSERT_NE(art, nullptr) << c.name;
        EXPECT_EQ(art->Width(), c.spec.width) << c.name;
        EXPECT_EQ(art->Height(), c.spec.height) << c.name;
        EXPECT_EQ(art->Pixels(), c.expected) << c.name;
        EXPECT_TRUE(art->Dirty()) << c.name;
    }
}

TEST_F(SheetFiles, MissingFilesAnswerNothingAndBadFilesAreRefusedNamingThePath) {
    EXPECT_EQ(LoadPNG(Path("absent.png")), nullptr);
    EXPECT_NE(ErrorOf(dir_.string()).find(dir_.string()), std::string::npos);

    PngSpec noisy{64, 64, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, false, {}, {}};
    std::uint32_t seed = 1;
    for (int y = 0; y < 64; ++y) {
        std::vector<png_byte> row;
        for (int x = 0; x < 64 * 3; ++x)
            row.push_back(static_cast<png_byte>((seed = seed * 1103515245u + 12345u) >> 24));
        noisy.rows.push_back(row);
    }
    ASSERT_TRUE(WritePngFile(Path("whole.png"), noisy));
    const std::vector<unsigned char> whole = ReadBytes(Path("whole.png"));

    std::vector<unsigned char> damaged = whole;
    damaged[damaged.size() / 2] ^= 0x5A;
    WriteBytes(Path("damaged.png"), damaged);
    WriteBytes(Path("truncated.png"), {whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2)});
    WriteBytes(Path("header-only.png"), {whole.begin(), whole.begin() + 40});
    WriteBytes(Path("garbage.png"), {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g', '\n'});
    WriteBytes(Path("empty-file.png"), {});
    WriteBytes(Path("huge.png"), HeaderOnlyPng(20000, 1));
    WriteBytes(Path("square.png"), HeaderOnlyPng(16384, 16384));
    for (const char* name : {"damaged.png", "truncated.png", "header-only.png", "garbage.png", "empty-file.png",
                             "huge.png", "square.png"}) {
        const std::string message = ErrorOf(Path(name));
        EXPECT_NE(message.find(Path(name)), std::string::npos) << name << ": " << message;
    }
    EXPECT_NE(ErrorOf(Path("huge.png")).find("too large"), std::string::npos);
}

TEST_F(SheetFiles, PicturesWithoutWidthOrHeightAreEmptyArtwork) {
    for (auto [w, h] : {std::pair{0u, 5u}, {5u, 0u}, {0u, 0u}}) {
        const std::string path = Path("empty.png");
        WriteBytes(path, HeaderOnlyPng(w, h));
        EXPECT_EQ(ErrorOf(path), "Empty artwork: " + path);
    }
}

TEST_F(SheetFiles, SavedPicturesLoadBackUnchanged) {
    TArt art(3, 2);
    art.SetArgb(0, 0, 0x80FF4020);
    art.SetArgb(2, 1, 0xFF00FF00);
    art.SetArgb(1, 1, 0x01020304);
    SavePNG(art, Path("round.png"));
    auto back = LoadPNG(Path("round.png"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Pixels(), art.Pixels());

    SavePNG(art, Path("opaque.png"), false);
    back = LoadPNG(Path("opaque.png"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Argb(0, 0), 0xFFFF4020u);
    EXPECT_EQ(back->Argb(1, 0), 0xFF000000u);

    EXPECT_THROW(SavePNG(TArt(), Path("nothing.png")), TArtError);
    EXPECT_THROW(SavePNG(art, Path("no-such-dir/x.png")), TArtError);
}

// [SECTION] Cells

TEST(SheetCells, PortraitCellsFollowIdSexAndProfession) {
    struct Case {
        int id;
        bool female;
        const char* profession;
        int cell;
    };
    const Case cases[] = {
        {1, false, "wrestler", 0},   {11, true, "scholar", 10},   {12, false, "wrestler", 1},
        {13, false, "wrestler", 7},  {20, true, "scholar", 14},   {20, true, "innkeeper", 15},
        {21, true, "trader", 15},    {22, true, "hunter", 11},    {20, false, "doctor", 12},
        {21, false, "mystic", 12},   {22, false, "trader", 13},   {23, false, "innkeeper", 13},
        {24, false, "scholar", 5},   {25, false, "courtier", 10}, {26, false, "hunter", 3},
        {26, false, "fisher", 8},    {27, false, "fisher", 9},    {28, false, "artisan", 4},
        {29, false, "performer", 2}, {37, false, "farmer", 7},    {40, false, "", 0},
        {255, false, "Scholar", 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PortraitCell(c.id, c.female, c.profession), c.cell) << c.id << " " << c.profession;
}

TEST(SheetCells, CellsSplitTheSheetWithIntegerQuarters) {
    const std::pair<int, TCellRect> cases[] = {
        {0, {0, 0, 2, 2}}, {5, {2, 2, 3, 3}}, {7, {7, 2, 3, 3}}, {15, {7, 7, 3, 3}}, {12, {0, 7, 2, 3}}};
    for (auto [cell, rect] : cases) {
        const TCellRect got = SheetCell(10, 10, cell);
        EXPECT_EQ(std::tie(got.x, got.y, got.w, got.h), std::tie(rect.x, rect.y, rect.w, rect.h)) << cell;
    }
}

// [SECTION] Painting from the sheets

// A 4 x 4 sheet of 10-pixel cells: each cell's inner 6 x 6 pixels carry the colour
// CellColour(n), its 2-pixel margin is pure red, which a portrait must never show.
std::uint32_t CellColour(int n) {
    return 0x102030u + 0x010101u * static_cast<std::uint32_t>(n);
}

TArt MakeSheet() {
    TArt sheet(40, 40);
    for (int n = 0; n < 16; ++n) {
        sheet.FillRect(n % 4 * 10, n / 4 * 10, 10, 10, 0xFF0000);
        sheet.FillRect(n % 4 * 10 + 2, n / 4 * 10 + 2, 6, 6, CellColour(n));
    }
    return sheet;
}

bool Uniform(const TArt& art, std::uint32_t argb) {
    for (std::uint32_t p : art.Pixels())
        if (p != argb) return false;
    return true;
}

TEST_F(SheetFiles, PortraitsLandscapesAndSpritesComeFromTheLoadedSheets) {
    const TArt sheet = MakeSheet();
    TArt landscape(8, 4);
    for (int x = 0; x < 8; ++x) landscape.FillRect(x, 0, 1, 4, 0x000010u * (x + 1));
    SavePNG(sheet, Path(kCharacterSheetFile));
    SavePNG(sheet, Path(kTerrainSheetFile));
    SavePNG(landscape, Path(kLandscapeFile));

    for (const std::string& folder : {dir_.string(), dir_.string() + "/"}) {
        TArtwork artwork;
        artwork.LoadArtwork(folder);
        ASSERT_TRUE(artwork.HasCharacterSheet() && artwork.HasTerrainSheet() && artwork.HasLandscape());

        TArt portrait(12, 16);
        EXPECT_TRUE(artwork.PaintPortrait(portrait, 12, false, "wrestler"));
        EXPECT_TRUE(Uniform(portrait, 0xFF000000u | CellColour(1)));
        EXPECT_TRUE(artwork.PaintPortrait(portrait, 3, true, "hunter"));
        EXPECT_TRUE(Uniform(portrait, 0xFF000000u | CellColour(2)));
        EXPECT_FALSE(artwork.PaintPortrait(portrait, -1, false, ""));

        // Character 0 is the landscape cropped from x = W div 4, H * 3 div 4 wide.
        TArt crop(3, 4);
        EXPECT_TRUE(artwork.PaintPortrait(crop, 0, false, ""));
        for (int x = 0; x < 3; ++x) EXPECT_EQ(crop.GetPixel(x, 2), 0x000010u * (x + 3)) << x;

        TArt whole(8, 4);
        EXPECT_TRUE(artwork.PaintLandscape(whole));
        EXPECT_EQ(whole.Pixels(), landscape.Pixels());

        TArt field(6, 6);
        artwork.PaintTerrainSprite(field, 5, 1, 1, 4, 4, 255, false);
        artwork.PaintTerrainSprite(field, 16, 0, 0, 6, 6, 255, false);
        artwork.PaintTerrainSprite(field, -1, 0, 0, 6, 6, 255, false);
        EXPECT_EQ(field.GetPixel(0, 0), 0u);
        EXPECT_EQ(field.GetPixel(1, 1), 0xFF0000u);  // no inset: the margin is part of the sprite
        EXPECT_EQ(field.GetPixel(2, 2), CellColour(5));
        EXPECT_EQ(field.GetPixel(5, 5), 0u);
    }
}

TEST_F(SheetFiles, MissingSheetsLeaveThePaintersIdleAndEmptyOnesAreReported) {
    TArtwork artwork;
    artwork.LoadArtwork(dir_.string());
    EXPECT_FALSE(artwork.HasCharacterSheet() || artwork.HasTerrainSheet() || artwork.HasLandscape());
    TArt target(4, 4);
    EXPECT_FALSE(artwork.PaintPortrait(target, 0, false, ""));
    EXPECT_FALSE(artwork.PaintPortrait(target, 5, false, ""));
    EXPECT_FALSE(artwork.PaintLandscape(target));
    artwork.PaintTerrainSprite(target, 0, 0, 0, 4, 4, 255, false);
    EXPECT_TRUE(Uniform(target, 0u));

    WriteBytes(Path(kTerrainSheetFile), HeaderOnlyPng(0, 4));
    try {
        artwork.LoadArtwork(dir_.string());
        FAIL() << "an empty sheet must be reported";
    } catch (const TArtError& e) {
        EXPECT_EQ(std::string(e.what()), "Empty artwork: " + Path(kTerrainSheetFile));
    }
}

}  // namespace
}  // namespace reedmark
