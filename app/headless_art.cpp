// The headless picture commands: TArt primitives, PNG loading and writing and the sheet
// painters on named images (the driver's own and the shell's: the map, the field layers,
// the background and portraits), repaint counts and the battle-field geometry.
#include <charconv>

#include "app/headless.hpp"
#include "art/sheets.hpp"

namespace reedmark {

namespace {

constexpr const char* kPortraitPrefix = "portrait:";

int Count(const TArgs& args, size_t i) {
    int value = args.Int(i);
    if (value < 0) throw TUsageError("Not a count: " + args.Str(i));
    return value;
}

// The character id of a portrait:ID name, or -1 when the name is not one.
int PortraitId(const std::string& name) {
    const std::string prefix = kPortraitPrefix;
    if (name.compare(0, prefix.size(), prefix) != 0 || name.size() == prefix.size()) return -1;
    int id = -1;
    const char* begin = name.data() + prefix.size();
    const char* end = name.data() + name.size();
    auto [stop, ec] = std::from_chars(begin, end, id);
    if (ec != std::errc() || stop != end || id < 0 || id >= kPortraitCacheSize) return -1;
    return id;
}

}  // namespace

// [SECTION] Named images

bool THeadless::IsShellImage(const std::string& name) const {
    return name == "atlas" || name == "fieldbase" || name == "field" || name == "background" ||
           name.compare(0, std::string(kPortraitPrefix).size(), kPortraitPrefix) == 0;
}

// The images the shell owns; nullptr while the shell has none of that name.
TArt* THeadless::ShellImage(const std::string& name) const {
    if (name == "background") return shell_.background.get();
    if (name == "atlas") return shell_.map ? &shell_.map->Image() : nullptr;
    if (name == "fieldbase") return shell_.field ? &shell_.field->BaseImage() : nullptr;
    if (name == "field") return shell_.field ? &shell_.field->FrameImage() : nullptr;
    int id = PortraitId(name);
    if (id >= 0) return shell_.portraits[static_cast<size_t>(id)].image.get();
    return nullptr;
}

TArt& THeadless::Image(const std::string& name) {
    TArt* image = nullptr;
    if (IsShellImage(name)) {
        image = ShellImage(name);
    } else {
        auto it = images_.find(name);
        if (it != images_.end()) image = it->second.get();
    }
    if (image == nullptr) throw TUsageError("No such image: " + name);
    return *image;
}

// [SECTION] Commands

void THeadless::RegisterArtCommands() {
    auto& t = artCommands_;
    const TJson done = "";

    // Replacing the shell's own pictures could change their sizes under it, so new and
    // load only make the driver's images.
    auto ownName = [this](const std::string& name) {
        if (IsShellImage(name)) throw TUsageError("Image belongs to the shell: " + name);
        return name;
    };

    Add(t, "art new", 3, 3, [this, done, ownName](const TArgs& a) {
        std::string name = ownName(a.Str(0));
        int w = Count(a, 1);
        int h = Count(a, 2);
        if (std::int64_t{w} * h > kArtMaxPixels || w > kArtMaxSide || h > kArtMaxSide)
            throw TUsageError("Image too large: " + a.Str(1) + " x " + a.Str(2));
        images_[name] = std::make_unique<TArt>(w, h);
        return done;
    });
    Add(t, "art setpixel", 4, 4, [this, done](const TArgs& a) {
        TArt& image = Image(a.Str(0));
        image.SetPixel(a.Int(1), a.Int(2), ColourArg(a, 3));
        return done;
    });
    Add(t, "art fillrect", 6, 6, [this, done](const TArgs& a) {
        TArt& image = Image(a.Str(0));
        image.FillRect(a.Int(1), a.Int(2), a.Int(3), a.Int(4), ColourArg(a, 5));
        return done;
    });
    Add(t, "art line", 6, 6, [this, done](const TArgs& a) {
        TArt& image = Image(a.Str(0));
        image.DrawLine(a.Int(1), a.Int(2), a.Int(3), a.Int(4), ColourArg(a, 5));
        return done;
    });
    Add(t, "art triangle", 8, 8, [this, done](const TArgs& a) {
        TArt& image = Image(a.Str(0));
        image.FillTriangle(a.Int(1), a.Int(2), a.Int(3), a.Int(4), a.Int(5), a.Int(6), ColourArg(a, 7));
        return done;
    });
    Add(t, "art ellipse", 6, 6, [this, done](const TArgs& a) {
        TArt& image = Image(a.Str(0));
        image.FillEllipse(a.Int(1), a.Int(2), a.Int(3), a.Int(4), ColourArg(a, 5));
        return done;
    });
    Add(t, "art pattern", 8, 8, [this, done](const TArgs& a) {
        TArt& image = Image(a.Str(0));
        image.FillPattern(a.Int(1), a.Int(2), a.Int(3), a.Int(4), ColourArg(a, 5), ColourArg(a, 6), a.Int(7));
        return done;
    });
    Add(t, "art blit", 13, 13, [this, done](const TArgs& a) {
        TArt& target = Image(a.Str(0));
        TArt& source = Image(a.Str(1));
        int n[9];
        for (size_t i = 0; i < 9; ++i) n[i] = a.Int(i + 2);
        bool smooth = FlagArg(a, 11);
        bool grey = FlagArg(a, 12);
        target.Blit(&source, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], smooth, grey);
        return done;
    });
    Add(t, "art pixel", 3, 3, [this](const TArgs& a) { return TJson(Image(a.Str(0)).GetPixel(a.Int(1), a.Int(2))); });
    Add(t, "art argb", 3, 3, [this](const TArgs& a) { return TJson(Image(a.Str(0)).Argb(a.Int(1), a.Int(2))); });
    Add(t, "art dirty", 1, 1, [this](const TArgs& a) { return TJson(Image(a.Str(0)).Dirty()); });
    Add(t, "art load", 2, 2, [this, done, ownName](const TArgs& a) {
        std::string name = ownName(a.Str(0));
        std::unique_ptr<TArt> image = LoadPNG(a.Str(1));
        if (!image) return TJson(false);  // a missing file creates nothing
        images_[name] = std::move(image);
        return done;
    });
    Add(t, "art portrait", 4, 4, [this](const TArgs& a) {
        TArt& image = Image(a.Str(0));
        int id = a.Int(1);
        bool female = FlagArg(a, 2);
        return TJson(shell_.artwork.PaintPortrait(image, id, female, a.Str(3)));
    });
    Add(t, "art landscape", 1, 1,
        [this](const TArgs& a) { return TJson(shell_.artwork.PaintLandscape(Image(a.Str(0)))); });
    Add(t, "art sprite", 8, 8, [this, done](const TArgs& a) {
        TArt& image = Image(a.Str(0));
        int n[6];
        for (size_t i = 0; i < 6; ++i) n[i] = a.Int(i + 1);
        bool grey = FlagArg(a, 7);
        shell_.artwork.PaintTerrainSprite(image, n[0], n[1], n[2], n[3], n[4], n[5], grey);
        return done;
    });
    Add(t, "art png", 2, 2, [this, done](const TArgs& a) {
        SavePNG(Image(a.Str(0)), a.Str(1), true);
        return done;
    });
    // How often the shell has repainted the map and the field's base layer.
    Add(t, "art repaints", 1, 1, [this](const TArgs& a) {
        const std::string& which = a.Str(0);
        if (which == "atlas") return TJson(shell_.map ? shell_.map->Repaints() : 0);
        if (which == "fieldbase") return TJson(shell_.field ? shell_.field->BaseRepaints() : 0);
        throw TUsageError("No repaint count for: " + which);
    });

    // Field geometry of the shell's battle-field painter.
    auto field = [this]() -> const TField& {
        if (!shell_.field) throw TUsageError("No battle field yet.");
        return *shell_.field;
    };
    Add(commands_, "hexcentre", 2, 2, [field](const TArgs& a) {
        auto [cx, cy] = TField::HexCentre(a.Int(0), a.Int(1));
        field();
        return TJson::array({cx, cy});
    });
    Add(commands_, "hexat", 2, 2, [field](const TArgs& a) {
        const THexHit hit = field().HexAt(a.Int(0), a.Int(1));
        return TJson::array({hit.found, hit.q, hit.r});
    });
    Add(commands_, "imagecell", 2, 2,
        [field](const TArgs& a) { return TJson(field().ImageCellAt(a.Int(0), a.Int(1))); });
}

}  // namespace reedmark
