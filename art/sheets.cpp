// Sprite sheets: PNG decoding and writing with libpng, the portrait cell rule and the
// painting of portraits, landscape and terrain sprites from the loaded sheets.
#include "art/sheets.hpp"

#include <png.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

namespace reedmark {

namespace {

// [SECTION] libpng plumbing
//
// libpng reports errors by longjmp. Each phase that may fail runs in its own small function
// holding the setjmp; those functions own no C++ objects, so the jump skips no destructor,
// and every buffer lives in the caller, where ordinary unwinding frees it.

constexpr std::uintmax_t kMaxArtFileBytes = std::uintmax_t{256} * 1024 * 1024;

struct PngIo {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    std::FILE* file = nullptr;
    char message[256] = {};
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp text) {
    auto* io = static_cast<PngIo*>(png_get_error_ptr(png));
    std::snprintf(io->message, sizeof io->message, "%s", text != nullptr ? text : "unknown error");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, std::size_t count) {
    auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
    if (count > io->size - io->pos) png_error(png, "unexpected end of file");
    std::memcpy(out, io->data + io->pos, count);
    io->pos += count;
}

struct DecodedHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::size_t rowBytes = 0;
    int channels = 0;
    int bitDepth = 0;
};

// Reads the header and asks libpng for 8-bit RGBA rows laid out so that each pixel, read
// as a native 32-bit word, is 0xAARRGGBB.
bool ReadHeader(PngIo& io, DecodedHeader& header) {
    if (setjmp(png_jmpbuf(io.png))) return false;
    png_set_read_fn(io.png, &io, ReadFromMemory);
    png_read_info(io.png, io.info);
    const int colourType = png_get_color_type(io.png, io.info);
    const bool hasTransparency = png_get_valid(io.png, io.info, PNG_INFO_tRNS) != 0;
    if (png_get_bit_depth(io.png, io.info) == 16) png_set_strip_16(io.png);  // keeps the high byte
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(io.png);
    if (colourType == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(io.png);
    if (hasTransparency) png_set_tRNS_to_alpha(io.png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(io.png);
    if ((colourType & PNG_COLOR_MASK_ALPHA) == 0 && !hasTransparency) png_set_filler(io.png, 0xFF, PNG_FILLER_AFTER);
    if constexpr (std::endian::native == std::endian::little)
        png_set_bgr(io.png);  // bytes B, G, R, A
    else
        png_set_swap_alpha(io.png);  // bytes A, R, G, B
    png_set_interlace_handling(io.png);
    png_read_update_info(io.png, io.info);
    header.width = png_get_image_width(io.png, io.info);
    header.height = png_get_image_height(io.png, io.info);
    header.rowBytes = png_get_rowbytes(io.png, io.info);
    header.channels = png_get_channels(io.png, io.info);
    header.bitDepth = png_get_bit_depth(io.png, io.info);
    return true;
}

bool ReadRows(PngIo& io, png_bytep* rows) {
    if (setjmp(png_jmpbuf(io.png))) return false;
    // Chunks after the image data hold nothing the game reads, so png_read_end is not needed.
    png_read_image(io.png, rows);
    return true;
}

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::vector<unsigned char> ReadWholeFile(const std::string& path, std::uintmax_t size) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        throw TArtError("Cannot read artwork " + path);
    return bytes;
}

bool WriteImage(PngIo& io, png_uint_32 width, png_uint_32 height, bool withAlpha, png_bytep* rows) {
    if (setjmp(png_jmpbuf(io.png))) return false;
    png_init_io(io.png, io.file);
    png_set_IHDR(io.png, io.info, width, height, 8, withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(io.png, io.info);
    png_write_image(io.png, rows);
    png_write_end(io.png, nullptr);
    return true;
}

// Refuses pictures without pixels and pictures too large to hold.
void CheckSize(const std::string& path, std::uint32_t width, std::uint32_t height) {
    if (width < 1 || height < 1) throw TArtError("Empty artwork: " + path);
    if (width > static_cast<std::uint32_t>(kArtMaxSide) || height > static_cast<std::uint32_t>(kArtMaxSide) ||
        std::int64_t{width} * height > kArtMaxPixels)
        throw TArtError("Artwork too large: " + path + " is " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels");
}

int FloorMod(int a, int m) {
    return ((a % m) + m) % m;
}

}  // namespace

// [SECTION] Loading and writing PNG files

std::unique_ptr<TArt> LoadPNG(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return nullptr;
    if (status.type() != std::filesystem::file_type::regular)
        throw TArtError("Cannot read artwork " + path + ": not a readable file");
    const std::uintmax_t fileSize = std::filesystem::file_size(path, ec);
    if (ec) throw TArtError("Cannot read artwork " + path + ": " + ec.message());
    if (fileSize > kMaxArtFileBytes) throw TArtError("Artwork file too large: " + path);
    const std::vector<unsigned char> bytes = ReadWholeFile(path, fileSize);

    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        throw TArtError("Cannot decode artwork " + path + ": not a PNG file");
    // The header's size is checked before libpng sees it: libpng refuses zero sizes with a
    // less helpful message of its own, and an absurd size is refused before any decoding.
    if (bytes.size() >= 24 && std::memcmp(bytes.data() + 12, "IHDR", 4) == 0)
        CheckSize(path, BigEndian32(bytes.data() + 16), BigEndian32(bytes.data() + 20));

    struct Reader : PngIo {
        ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
    } io;
    io.data = bytes.data();
    io.size = bytes.size();
    io.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, static_cast<PngIo*>(&io), OnPngError, OnPngWarning);
    if (io.png != nullptr) io.info = png_create_info_struct(io.png);
    if (io.png == nullptr || io.info == nullptr) throw TArtError("Cannot decode artwork " + path + ": out of memory");

    DecodedHeader header;
    if (!ReadHeader(io, header)) throw TArtError("Cannot decode artwork " + path + ": " + io.message);
    CheckSize(path, header.width, header.height);
    if (header.channels != 4 || header.bitDepth != 8 || header.rowBytes != std::size_t{header.width} * 4)
        throw TArtError("Cannot decode artwork " + path + ": unsupported pixel layout");

    auto art = std::make_unique<TArt>(static_cast<int>(header.width), static_cast<int>(header.height));
    std::vector<png_bytep> rows(header.height);
    std::uint32_t* pixels = art->MutablePixels();
    for (png_uint_32 y = 0; y < header.height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(pixels + std::size_t{y} * header.width);
    if (!ReadRows(io, rows.data())) throw TArtError("Cannot decode artwork " + path + ": " + io.message);
    return art;
}

void SavePNG(const TArt& art, const std::string& path, bool withAlpha) {
    if (art.Width() < 1 || art.Height() < 1) throw TArtError("Cannot write picture " + path + ": the image is empty");
    const int channels = withAlpha ? 4 : 3;
    std::vector<unsigned char> bytes(art.Pixels().size() * static_cast<std::size_t>(channels));
    std::vector<png_bytep> rows(static_cast<std::size_t>(art.Height()));
    for (std::size_t i = 0; i < art.Pixels().size(); ++i) {
        const std::uint32_t p = art.Pixels()[i];
        unsigned char* out = bytes.data() + i * static_cast<std::size_t>(channels);
        out[0] = static_cast<unsigned char>(p >> 16);
        out[1] = static_cast<unsigned char>(p >> 8);
        out[2] = static_cast<unsigned char>(p);
        if (withAlpha) out[3] = static_cast<unsigned char>(p >> 24);
    }
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = bytes.data() + y * static_cast<std::size_t>(art.Width()) * static_cast<std::size_t>(channels);

    struct Writer : PngIo {
        ~Writer() {
            png_destroy_write_struct(&png, &info);
            if (file != nullptr) std::fclose(file);
        }
    } io;
    io.file = std::fopen(path.c_str(), "wb");
    if (io.file == nullptr) throw TArtError("Cannot write picture " + path + ": " + std::strerror(errno));
    io.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, static_cast<PngIo*>(&io), OnPngError, OnPngWarning);
    if (io.png != nullptr) io.info = png_create_info_struct(io.png);
    if (io.png == nullptr || io.info == nullptr) throw TArtError("Cannot write picture " + path + ": out of memory");
    if (!WriteImage(io, static_cast<png_uint_32>(art.Width()), static_cast<png_uint_32>(art.Height()), withAlpha,
                    rows.data()))
        throw TArtError("Cannot write picture " + path + ": " + io.message);
    const bool closed = std::fclose(std::exchange(io.file, nullptr)) == 0;
    if (!closed) throw TArtError("Cannot write picture " + path + ": " + std::strerror(errno));
}

// [SECTION] Portrait cells

int PortraitCell(int id, bool female, const std::string& profession) {
    if (id >= 1 && id <= 11) return id - 1;
    if (female) {
        if (profession == "scholar") return 14;
        if (profession == "innkeeper" || profession == "trader") return 15;
        return 11;
    }
    if (profession == "doctor" || profession == "mystic") return 12;
    if (profession == "trader" || profession == "innkeeper") return 13;
    if (profession == "scholar") return 5;
    if (profession == "courtier") return 10;
    if (profession == "hunter") return 3;
    if (profession == "fisher") return 8 + FloorMod(id, 2);
    if (profession == "wrestler") return FloorMod(id, 2) == 1 ? 7 : 1;
    if (profession == "artisan") return 4;
    if (profession == "performer") return 2;
    return FloorMod(id, 10);
}

TCellRect SheetCell(int sheetWidth, int sheetHeight, int cell) {
    const int col = FloorMod(cell, 4), row = FloorMod(cell / 4, 4);
    const int x0 = col * sheetWidth / 4, x1 = (col + 1) * sheetWidth / 4;
    const int y0 = row * sheetHeight / 4, y1 = (row + 1) * sheetHeight / 4;
    return {x0, y0, x1 - x0, y1 - y0};
}

// [SECTION] The sheets

void TArtwork::LoadArtwork(const std::string& artDir) {
    characters_.reset();
    terrain_.reset();
    landscape_.reset();
    const std::filesystem::path dir(artDir);
    characters_ = LoadPNG((dir / kCharacterSheetFile).string());
    terrain_ = LoadPNG((dir / kTerrainSheetFile).string());
    landscape_ = LoadPNG((dir / kLandscapeFile).string());
}

bool TArtwork::PaintPortrait(TArt& target, int id, bool female, const std::string& profession) const {
    if (id == 0 && landscape_ != nullptr) {
        const int w = landscape_->Width(), h = landscape_->Height();
        target.Blit(landscape_.get(), w / 4, 0, h * 3 / 4, h, 0, 0, target.Width(), target.Height(), 255, true, false);
        return true;
    }
    if (characters_ == nullptr || id < 1) return false;
    const TCellRect cell = SheetCell(characters_->Width(), characters_->Height(), PortraitCell(id, female, profession));
    // The cell without a two-pixel margin, so neighbouring cells never bleed in.
    target.Blit(characters_.get(), cell.x + 2, cell.y + 2, cell.w - 4, cell.h - 4, 0, 0, target.Width(),
                target.Height(), 255, true, false);
    return true;
}

bool TArtwork::PaintLandscape(TArt& target) const {
    if (landscape_ == nullptr) return false;
    target.Blit(landscape_.get(), 0, 0, landscape_->Width(), landscape_->Height(), 0, 0, target.Width(),
                target.Height(), 255, true, false);
    return true;
}

void TArtwork::PaintTerrainSprite(TArt& target, int cell, int dx, int dy, int dw, int dh, int opacity,
                                  bool grey) const {
    if (terrain_ == nullptr || cell < 0 || cell > 15) return;
    const TCellRect rect = SheetCell(terrain_->Width(), terrain_->Height(), cell);
    target.Blit(terrain_.get(), rect.x, rect.y, rect.w, rect.h, dx, dy, dw, dh, opacity, false, grey);
}

void TArtwork::ReleaseTextures() {
    for (const auto& sheet : {characters_.get(), terrain_.get(), landscape_.get()})
        if (sheet != nullptr) sheet->ReleaseTexture();
}

}  // namespace reedmark
