// Sample quantisation and chunk layout of the WAV writer.
#include "tape/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tape {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFFu);
  Put16(out, v >> 16);
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
  for (int k = 0; k < 4; ++k) out.push_back(std::uint8_t(tag[k]));
}

int BitsOf(WavFormat f) {
  switch (f) {
    case WavFormat::kPcm8: return 8;
    case WavFormat::kPcm16: return 16;
    case WavFormat::kPcm24: return 24;
    case WavFormat::kPcm32: return 32;
    case WavFormat::kFloat32: return 32;
    case WavFormat::kFloat64: return 64;
  }
  return 16;
}

// Full scale x = 1 maps to `scale`; the result lies within the signed range of `bits`.
std::int64_t Quantise(double x, double scale, int bits) {
  const double top = std::ldexp(1.0, bits - 1);
  const double v = std::round(std::clamp(x, -2.0, 2.0) * scale);
  return std::int64_t(std::clamp(v, -top, top - 1.0));
}

void PutSample(std::vector<std::uint8_t>& out, double x, WavFormat f) {
  if (!std::isfinite(x)) x = 0.0;
  switch (f) {
    case WavFormat::kPcm8:  // unsigned, 128 is zero
      out.push_back(std::uint8_t(Quantise(x, 128.0, 8) + 128));
      break;
    case WavFormat::kPcm16: Put16(out, std::uint32_t(Quantise(x, 32768.0, 16)) & 0xFFFFu); break;
    case WavFormat::kPcm24: {
      const std::uint32_t v = std::uint32_t(Quantise(x, 8388608.0, 24));
      out.push_back(std::uint8_t(v));
      out.push_back(std::uint8_t(v >> 8));
      out.push_back(std::uint8_t(v >> 16));
      break;
    }
    case WavFormat::kPcm32: Put32(out, std::uint32_t(Quantise(x, 2147483648.0, 32))); break;
    case WavFormat::kFloat32: {
      const float v = float(x);
      std::uint32_t bits;
      std::memcpy(&bits, &v, 4);
      Put32(out, bits);
      break;
    }
    case WavFormat::kFloat64: {
      std::uint64_t bits;
      std::memcpy(&bits, &x, 8);
      Put32(out, std::uint32_t(bits));
      Put32(out, std::uint32_t(bits >> 32));
      break;
    }
  }
}

}  // namespace

std::vector<std::uint8_t> EncodeWav(std::span<const double> first, std::span<const double> second,
                                    const WavLayout& layout) {
  const int channels = std::max(1, layout.channels);
  const int bits = BitsOf(layout.format);
  const bool isFloat = layout.format == WavFormat::kFloat32 || layout.format == WavFormat::kFloat64;
  const std::uint32_t blockAlign = std::uint32_t(channels * bits / 8);
  const std::uint32_t dataBytes = std::uint32_t(first.size()) * blockAlign;
  const char listBody[] = "INFOISFT\x05\0\0\0Tesva";  // 17 bytes: odd on purpose
  const std::uint32_t listBytes = layout.oddListChunk ? 8 + 17 + 1 : 0;

  std::vector<std::uint8_t> out;
  out.reserve(44 + listBytes + dataBytes);
  PutTag(out, "RIFF");
  Put32(out, 4 + 24 + listBytes + 8 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, isFloat ? 3 : 1);
  Put16(out, std::uint32_t(channels));
  Put32(out, std::uint32_t(layout.sampleRate));
  Put32(out, std::uint32_t(layout.sampleRate) * blockAlign);
  Put16(out, blockAlign);
  Put16(out, std::uint32_t(bits));
  if (layout.oddListChunk) {
    PutTag(out, "LIST");
    Put32(out, 17);
    for (int k = 0; k < 17; ++k) out.push_back(std::uint8_t(listBody[k]));
    out.push_back(0);  // pad byte
  }
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (std::size_t i = 0; i < first.size(); ++i) {
    PutSample(out, first[i], layout.format);
    for (int c = 1; c < channels; ++c) {
      const double x = (c == 1 && i < second.size()) ? second[i] : 0.0;
      PutSample(out, x, layout.format);
    }
  }
  return out;
}

bool WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool ParseWavFormat(const std::string& text, WavFormat& format) {
  if (text == "8") format = WavFormat::kPcm8;
  else if (text == "16") format = WavFormat::kPcm16;
  else if (text == "24") format = WavFormat::kPcm24;
  else if (text == "32") format = WavFormat::kPcm32;
  else if (text == "f32") format = WavFormat::kFloat32;
  else if (text == "f64") format = WavFormat::kFloat64;
  else return false;
  return true;
}

}  // namespace tape
