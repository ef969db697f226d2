// PNG files made by the tests themselves (through libpng's writer), temporary paths and
// small file helpers for the drawing-layer tests.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gfx/LICE.h"

namespace gfx_test {

inline std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("tesvar-gfx-test-" + name)).string();
}

inline std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline LICE_MemBitmap* Decode(const std::vector<unsigned char>& bytes) {
  return LICE_LoadPNGFromMemory(bytes.data(), bytes.size());
}

namespace detail {
inline void Append(png_structp png, png_bytep data, png_size_t size) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + size);
}
inline void Flush(png_structp) {}
}  // namespace detail

// A PNG of the given colour type and depth from packed rows of raw samples; palette images
// take `palette` (RGB triples) and `alphas` (tRNS entries).
inline std::vector<unsigned char> EncodePng(int width, int height, int colorType, int bitDepth,
                                            const std::vector<unsigned char>& rows,
                                            const std::vector<unsigned char>& palette = {},
                                            const std::vector<unsigned char>& alphas = {}) {
  std::vector<unsigned char> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, detail::Append, detail::Flush);
  png_set_IHDR(png, info, width, height, bitDepth, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> colors;
  for (std::size_t i = 0; i + 2 < palette.size(); i += 3)
    colors.push_back({palette[i], palette[i + 1], palette[i + 2]});
  if (!colors.empty()) png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
  if (!alphas.empty()) png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
  png_write_info(png, info);
  const std::size_t rowBytes = rows.size() / static_cast<std::size_t>(height);
  for (int y = 0; y < height; ++y) png_write_row(png, rows.data() + rowBytes * static_cast<std::size_t>(y));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// Two pixels: palette entry 0 opaque red, entry 1 transparent blue.
inline std::vector<unsigned char> EncodePalettePng() {
  return EncodePng(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, {255, 0, 0, 0, 0, 255}, {255, 0});
}

// An opaque picture of one colour.
inline std::vector<unsigned char> SolidPng(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
  std::vector<unsigned char> rows;
  for (int i = 0; i < width * height; ++i) rows.insert(rows.end(), {r, g, b});
  return EncodePng(width, height, PNG_COLOR_TYPE_RGB, 8, rows);
}

inline std::uint32_t Crc32(const unsigned char* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// Rewrites the header's width and height (with a valid checksum).
inline void PatchHeaderSize(std::vector<unsigned char>* png, std::uint32_t width, std::uint32_t height) {
  auto put = [&](std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) (*png)[at + k] = static_cast<unsigned char>(v >> (24 - 8 * k));
  };
  put(16, width);
  put(20, height);
  put(29, Crc32(png->data() + 12, 17));  // over the type and the 13 data bytes
}

}  // namespace gfx_test
