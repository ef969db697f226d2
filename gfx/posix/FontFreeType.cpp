// Fonts on Linux: fontconfig finds the file for a face name, FreeType renders the glyphs.
// Sizes follow Windows' cell height: the font is scaled so that its Windows ascent plus
// descent (OS/2 table) fill the requested pixels, so texts come out as large as under GDI.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include "gfx/FontRasterizer.h"

namespace gfx {
namespace {

// One FreeType library and one fontconfig configuration for the process. The configuration
// is our own, not fontconfig's global one, so the host's use of fontconfig and ours never
// meet, and all of it is freed when the plug-in is unloaded. Creating and destroying faces is
// serialised by the mutex; each face is then used by one font, which its own owner
// serialises. Every font keeps the library alive, so the order of static destruction at
// unload does not matter.
struct FreeTypeLibrary {
  std::mutex mutex;
  FT_Library library = nullptr;
  FcConfig* fonts = nullptr;  // null: fontconfig's default configuration
  ~FreeTypeLibrary() {
    if (fonts != nullptr) FcConfigDestroy(fonts);
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

std::shared_ptr<FreeTypeLibrary> SharedLibrary() {
  static std::mutex mutex;
  static std::shared_ptr<FreeTypeLibrary> shared;
  std::lock_guard<std::mutex> lock(mutex);
  if (shared == nullptr) {
    auto created = std::make_shared<FreeTypeLibrary>();
    if (FT_Init_FreeType(&created->library) != 0) return nullptr;
    created->fonts = FcInitLoadConfigAndFonts();
    shared = created;
  }
  return shared;
}

struct FontFile {
  std::string path;
  int index = 0;
  int weight = FC_WEIGHT_REGULAR;  // of the file found (to tell when bold must be made)
  int slant = FC_SLANT_ROMAN;
};

// The file fontconfig offers for a family (an empty family asks for the default face).
bool MatchFont(FcConfig* config, const std::string& family, int weight, bool italic, FontFile* file) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* path = nullptr;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
  if (found) {
    file->path = reinterpret_cast<const char*>(path);
    FcPatternGetInteger(match, FC_INDEX, 0, &file->index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &file->weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &file->slant);
  }
  FcPatternDestroy(match);
  return found;
}

struct Glyph {
  int left = 0;  // from the pen
  int top = 0;   // rows above the baseline
  int width = 0;
  int rows = 0;
  int advance = 0;
  std::vector<std::uint8_t> pixels;
};

class FreeTypeFont : public FontRasterizer {
 public:
  FreeTypeFont(std::shared_ptr<FreeTypeLibrary> library, FT_Face face, int size, bool embolden, bool slant)
      : library_(std::move(library)), face_(face), lineHeight_(size) {
    // The Windows cell: usWinAscent + usWinDescent; fonts without an OS/2 table use hhea.
    double ascent = face->ascender;
    double descent = -face->descender;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
      ascent = os2->usWinAscent;
      descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0) ascent = face->units_per_EM, descent = 0;
    const double em = size * face->units_per_EM / (ascent + descent);
    FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(em * 64.0)), 72, 72);
    ascent_ = static_cast<int>(std::lround(size * ascent / (ascent + descent)));
    if (embolden) emboldenStrength_ = static_cast<FT_Pos>(std::lround(em * 64.0 / 24.0));
    if (slant) {
      FT_Matrix shear{0x10000, 0x3333, 0, 0x10000};  // x += 0.2 y: an oblique of about 11 degrees
      FT_Set_Transform(face_, &shear, nullptr);
    }
  }
  ~FreeTypeFont() override {
    std::lock_guard<std::mutex> lock(library_->mutex);
    FT_Done_Face(face_);
  }

  int LineHeight() const override { return lineHeight_; }

  int Measure(const std::u32string& text) override {
    int advance = 0;
    for (char32_t cp : text) advance += GlyphFor(cp).advance;
    return advance;
  }

  void Render(const std::u32string& text, TextMask* mask) override {
    // The box of all glyphs, then each glyph's coverage into it (the larger where they overlap).
    int left = 0, top = 0, right = 0, bottom = lineHeight_, pen = 0;
    for (char32_t cp : text) {
      const Glyph& g = GlyphFor(cp);
      if (g.width > 0 && g.rows > 0) {
        left = std::min(left, pen + g.left);
        right = std::max(right, pen + g.left + g.width);
        top = std::min(top, ascent_ - g.top);
        bottom = std::max(bottom, ascent_ - g.top + g.rows);
      }
      pen += g.advance;
    }
    right = std::max(right, pen);
    mask->left = left;
    mask->top = top;
    mask->width = right - left;
    mask->height = bottom - top;
    mask->advance = pen;
    mask->coverage.assign(static_cast<std::size_t>(mask->width) * mask->height, 0);
    pen = 0;
    for (char32_t cp : text) {
      const Glyph& g = GlyphFor(cp);
      for (int row = 0; row < g.rows; ++row) {
        std::uint8_t* out = mask->coverage.data() +
                            static_cast<std::size_t>(ascent_ - g.top + row - top) * mask->width + (pen + g.left - left);
        const std::uint8_t* in = g.pixels.data() + static_cast<std::size_t>(row) * g.width;
        for (int col = 0; col < g.width; ++col) out[col] = std::max(out[col], in[col]);
      }
      pen += g.advance;
    }
  }

 private:
  // Rendered glyphs are kept: panels draw the same few texts at every redraw.
  const Glyph& GlyphFor(char32_t cp) {
    auto found = glyphs_.find(cp);
    if (found != glyphs_.end()) return found->second;
    if (glyphs_.size() >= kMaxCachedGlyphs) glyphs_.clear();
    Glyph& glyph = glyphs_[cp];
    // Glyph 0 is the font's box for characters it lacks.
    const FT_UInt index = FT_Get_Char_Index(face_, cp);
    if (FT_Load_Glyph(face_, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) return glyph;
    FT_GlyphSlot slot = face_->glyph;
    FT_Pos advance = slot->advance.x;
    if (emboldenStrength_ > 0 && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Outline_Embolden(&slot->outline, emboldenStrength_);
      advance += emboldenStrength_;
    }
    glyph.advance = static_cast<int>((advance + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0 || slot->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
      return glyph;
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.pixels.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row) {
      const unsigned char* in = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
      std::copy(in, in + glyph.width, glyph.pixels.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
    }
    return glyph;
  }

  static constexpr std::size_t kMaxCachedGlyphs = 1024;
  std::shared_ptr<FreeTypeLibrary> library_;
  FT_Face face_;
  int lineHeight_;
  int ascent_ = 0;
  FT_Pos emboldenStrength_ = 0;
  std::unordered_map<char32_t, Glyph> glyphs_;
};

FT_Face OpenFace(FreeTypeLibrary& library, const FontFile& file) {
  FT_Face face = nullptr;
  if (FT_New_Face(library.library, file.path.c_str(), file.index, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face)) {
    FT_Done_Face(face);
    return nullptr;
  }
  return face;
}

}  // namespace

std::unique_ptr<FontRasterizer> CreateFontRasterizer(const std::string& face, int size, int weight, bool italic) {
  std::shared_ptr<FreeTypeLibrary> library = SharedLibrary();
  if (library == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(library->mutex);
  // The face asked for (fontconfig answers its best substitute), then the default sans face,
  // then the fonts the install script puts on every machine.
  std::vector<FontFile> candidates;
  for (const std::string& family : {face, std::string("sans-serif")}) {
    FontFile file;
    if (MatchFont(library->fonts, family, weight, italic, &file)) candidates.push_back(file);
  }
  for (const char* path : {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
                           "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}) {
    candidates.push_back(FontFile{path, 0, FC_WEIGHT_REGULAR, FC_SLANT_ROMAN});
  }
  for (const FontFile& file : candidates) {
    FT_Face opened = OpenFace(*library, file);
    if (opened == nullptr) continue;
    // What the file lacks of the weight and slant asked for is made from its outlines.
    const bool embolden = weight >= 600 && file.weight < FC_WEIGHT_DEMIBOLD;
    const bool slant = italic && file.slant == FC_SLANT_ROMAN;
    return std::make_unique<FreeTypeFont>(library, opened, size, embolden, slant);
  }
  return nullptr;
}

}  // namespace gfx
