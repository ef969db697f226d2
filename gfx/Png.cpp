// PNG reading and writing through libpng. libpng reports errors by longjmp: the functions
// below create nothing with a destructor between setjmp and the calls that may jump.
#include <png.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <new>

#include "gfx/LICE.h"
#include "gfx/PixelMemory.h"

static_assert(std::endian::native == std::endian::little,
              "pixels are read and written as the bytes B, G, R, A of a little-endian word");

namespace {

struct ByteSource {
  const png_byte* data;
  std::size_t size;
  std::size_t position;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t count) {
  auto* source = static_cast<ByteSource*>(png_get_io_ptr(png));
  if (count > source->size - source->position) png_error(png, "data cut short");
  std::memcpy(out, source->data + source->position, count);
  source->position += count;
}

// Damaged images are answered by a null bitmap; nothing is printed.
void QuietError(png_structp png, png_const_charp /*message*/) { png_longjmp(png, 1); }
void QuietWarning(png_structp /*png*/, png_const_charp /*message*/) {}

// Turns whatever the file holds into 8-bit B, G, R, A.
void RequestBgra(png_structp png, png_infop info) {
  const int colorType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (transparency) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_scale_16(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if ((colorType & PNG_COLOR_MASK_ALPHA) == 0 && !transparency) png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
  png_set_bgr(png);
}

}  // namespace

LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, std::size_t size) {
  if (data == nullptr || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return nullptr;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
  if (png == nullptr) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  ByteSource source{static_cast<const png_byte*>(data), size, 0};
  LICE_MemBitmap* volatile bitmap = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    delete bitmap;
    return nullptr;
  }
  png_set_read_fn(png, &source, ReadBytes);
  png_set_user_limits(png, gfx::kMaxSide, gfx::kMaxSide);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (static_cast<long long>(width) * height > gfx::kMaxPixels) png_error(png, "image too large");
  RequestBgra(png, info);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) png_error(png, "unexpected row layout");
  bitmap = new (std::nothrow) LICE_MemBitmap(static_cast<int>(width), static_cast<int>(height));
  if (bitmap == nullptr || bitmap->Bits() == nullptr) png_error(png, "out of memory");
  LICE_pixel* const bits = bitmap->Bits();
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, reinterpret_cast<png_bytep>(bits + static_cast<std::size_t>(y) * width), nullptr);
    }
  }
  // The rest of the file too: a cut or damaged end is a damaged image.
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return bitmap;
}

bool LICE_WritePNG(const char* path, const LICE_IBitmap* bitmap) {
  if (path == nullptr || bitmap == nullptr || bitmap->Bits() == nullptr) return false;
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    std::fclose(file);
    std::remove(path);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    std::remove(path);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap->Width()), static_cast<png_uint_32>(bitmap->Height()), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  for (int y = 0; y < bitmap->Height(); ++y) {
    png_write_row(
        png, reinterpret_cast<png_const_bytep>(bitmap->Bits() + static_cast<std::ptrdiff_t>(y) * bitmap->RowSpan()));
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) {
    std::remove(path);
    return false;
  }
  return true;
}
