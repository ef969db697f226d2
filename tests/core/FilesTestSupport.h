// Shared by the program and bank file tests: an in-process instance in a temporary home,
// and a writer for hand-made FXP/FXB files in the layouts other hosts produce.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/Tesvar.h"
#include "tests/shell/ShellTestSupport.h"

namespace files_test {

// Big-endian header words and floats, as the file formats have them.
struct FxWriter {
  std::string bytes;
  FxWriter& Code(const char* code) {
    bytes.append(code, 4);
    return *this;
  }
  FxWriter& Word(std::uint32_t v) {
    const char raw[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                         static_cast<char>(v)};
    bytes.append(raw, 4);
    return *this;
  }
  FxWriter& Float(float f) {
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    return Word(v);
  }
  FxWriter& Name(const std::string& name) {
    std::string field(28, '\0');
    field.replace(0, std::min<std::size_t>(name.size(), 28), name.substr(0, 28));
    bytes += field;
    return *this;
  }
  // One "FxCk" program record: header, name and the floats.
  FxWriter& Program(const std::string& name, const std::vector<float>& values, const char* kind = "FxCk",
                    std::uint32_t version = 1, std::uint32_t count = 51) {
    Code("CcnK").Word(static_cast<std::uint32_t>(48 + 4 * values.size())).Code(kind).Word(version).Code("tsvr");
    Word(10001).Word(count).Name(name);
    for (float v : values) Float(v);
    return *this;
  }
};

inline std::uint32_t WordAt(const std::string& bytes, std::size_t pos) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + pos);
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

class FilesTest : public shell_test::TempHome {
 protected:
  void TearDown() override {
    plugs_.clear();
    TempHome::TearDown();
  }
  // A fresh instance; it loads factory bank 0 as it starts.
  Tesvar& Make() {
    plugs_.push_back(std::make_unique<Tesvar>(shell_test::RecordingHost));
    return *plugs_.back();
  }
  static std::vector<double> Values(const IPlugBase& plug) {
    std::vector<double> values;
    for (int i = 0; i < plug.ParamCount(); ++i) values.push_back(plug.GetParam(i)->Value());
    return values;
  }
  // The bank as the host would save it, to tell whether anything changed.
  static std::string Bank(IPlugBase& plug) {
    ChunkBuffer buffer;
    plug.SerializePresets(buffer);
    return std::string(reinterpret_cast<const char*>(buffer.Data()), static_cast<std::size_t>(buffer.Size()));
  }

 private:
  std::vector<std::unique_ptr<Tesvar>> plugs_;
};

}  // namespace files_test
