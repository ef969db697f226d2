// tesvar-make-lv2-bundle: writes the Turtle files of the LV2 bundle (manifest.ttl,
// tesvar.ttl with the plug-in, its ports and its UI, presets.ttl with the factory banks)
// from the tables the plug-in itself is built from: the parameter rows, the port layout and
// the factory-bank tables. Nothing in them is written by hand.
//
//   tesvar-make-lv2-bundle OUTDIR --version MINOR.MICRO TABLE0 TABLE1 TABLE2
//
// TABLEn is factory bank n's table (resources/banks). Exit status: 0 done, 1 a table was
// refused, 2 bad command line, 3 a file could not be read or written.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/ChunkBuffer.h"
#include "core/FactoryBanks.h"
#include "lv2/PortLayout.h"
#include "lv2/Uris.h"
#include "resources/BankImage.h"
#include "resources/BankTable.h"
#include "resources/ParameterInfo.h"

namespace {

using resources::kParameterInfo;

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix log: <http://lv2plug.in/ns/ext/log#> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix patch: <http://lv2plug.in/ns/ext/patch#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

struct Bank {
  int number;
  std::string key;    // "factory", from the bank's file name
  std::string title;  // as the program browser shows it
  resources::BankTable table;
};

std::string Uri(const std::string& uri) { return "<" + uri + ">"; }
std::string PresetUri(const Bank& bank, int program) {
  return Uri(lv2uris::kPresetBase + bank.key + "-" + std::to_string(11 + program / 8 * 10 + program % 8));
}
std::string BankUri(const Bank& bank) { return Uri(lv2uris::kBankBase + bank.key); }

// A Turtle string literal.
std::string Text(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') out += "\\n";
    else out += c;
  }
  return out + "\"";
}

// A decimal literal that Turtle reads as a number with a fraction ("63.0", "0.005").
std::string Number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9f", value);
  std::string s = text;
  while (s.size() > 1 && s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
  return s == "-0.0" ? "0.0" : s;
}

std::string Base64(const std::vector<std::uint8_t>& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::uint32_t n =
        bytes[i] << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) | (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    out += kDigits[n >> 18 & 63];
    out += kDigits[n >> 12 & 63];
    out += i + 1 < bytes.size() ? kDigits[n >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

// The program chunk a host's set-chunk call takes: header, state body, name.
std::vector<std::uint8_t> ProgramChunk(int index, const resources::BankProgram& program) {
  ChunkBuffer chunk;
  chunk_header::Write(chunk);
  const std::vector<std::uint8_t> body = resources::WriteStateBody(index, program);
  chunk.PutBytes(body.data(), static_cast<int>(body.size()));
  chunk.PutText(program.name);
  return std::vector<std::uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
}

std::string ControlPort(int index) {
  const resources::ParameterInfo& info = kParameterInfo[index];
  std::string t = "[\n    a lv2:InputPort, lv2:ControlPort ;\n";
  t += "    lv2:index " + std::to_string(lv2ports::PortOfParam(index)) + " ;\n";
  t += "    lv2:symbol " + Text(lv2ports::ParamSymbol(index)) + " ;\n";
  t += "    lv2:name " + Text(lv2ports::ParamLabel(index)) + " ;\n";
  t += "    lv2:default " + Number(info.defaultValue) + " ;\n";
  t += "    lv2:minimum " + Number(info.minValue) + " ;\n";
  t += "    lv2:maximum " + Number(info.maxValue) + " ;\n";
  std::vector<std::string> properties;
  if (info.kind != resources::ParamKind::Continuous) properties.push_back("lv2:integer");
  if (info.kind == resources::ParamKind::List) properties.push_back("lv2:enumeration");
  // A whole number that is either 0 or 1 and names no states is a switch.
  if (info.kind == resources::ParamKind::Integer && info.minValue == 0 && info.maxValue == 1) {
    properties.push_back("lv2:toggled");
  }
  if (lv2ports::IsReservedParam(index)) properties.push_back("pprops:notOnGUI");
  for (std::size_t i = 0; i < properties.size(); ++i) {
    t += (i == 0 ? "    lv2:portProperty " : ", ") + properties[i];
  }
  if (!properties.empty()) t += " ;\n";
  for (std::size_t i = 0; i < info.listTexts.size(); ++i) {
    t += i == 0 ? "    lv2:scalePoint " : " ,\n      ";
    t += "[ rdfs:label " + Text(info.listTexts[i]) + " ; rdf:value " + Number(static_cast<double>(i)) + " ]";
  }
  if (!info.listTexts.empty()) t += " ;\n";
  return t + "  ]";
}

std::string PluginTurtle(int minor, int micro, const std::string& binary) {
  const std::string plugin = Uri(lv2uris::kPlugin);
  const std::string group = Uri(std::string(lv2uris::kPlugin) + "#out");
  std::string t = kPrefixes;
  t += Uri(lv2uris::kFileProperty) + "\n  a lv2:Parameter ;\n  rdfs:label \"Program or bank file\" ;\n" +
       "  rdfs:comment \"An FXP program or FXB bank file, loaded as the editor's Load Program and Load Bank do\" ;\n" +
       "  rdfs:range atom:Path .\n\n";
  const struct {
    const char* uri;
    const char* label;
    const char* comment;
  } keys[] = {{lv2uris::kStateBank, "Bank", "All 64 programs, in the form of the plug-in's VST2 bank chunk"},
              {lv2uris::kStateProgram, "Program", "The current program's index, 0 to 63"},
              {lv2uris::kStateProgramChunk, "Program chunk",
               "One program, in the form of the plug-in's VST2 program chunk; restored into the current program"},
              {lv2uris::kStateControls, "Parameter ports seen",
               "The values the plug-in last saw in its parameter ports, 51 little-endian floats"}};
  for (const auto& key : keys) {
    t += Uri(key.uri) + "\n  a rdf:Property ;\n  rdfs:label " + Text(key.label) + " ;\n  rdfs:comment " +
         Text(key.comment) + " .\n\n";
  }
  t += group + "\n  a pg:StereoGroup, pg:OutputGroup ;\n  lv2:symbol \"out\" ;\n  rdfs:label \"Output\" .\n\n";
  t += plugin + "\n  a lv2:Plugin, lv2:InstrumentPlugin, doap:Project ;\n  doap:name \"Tesvar\" ;\n";
  t += "  doap:maintainer [ foaf:name \"Quellmark Music\" ; foaf:homepage <http://www.quellmarkmusic.com> ] ;\n";
  t += "  lv2:minorVersion " + std::to_string(minor) + " ;\n  lv2:microVersion " + std::to_string(micro) + " ;\n";
  t += "  lv2:requiredFeature urid:map ;\n  lv2:optionalFeature opts:options, work:schedule, log:log ;\n";
  t += "  lv2:extensionData state:interface, work:interface ;\n";
  t += "  patch:writable " + Uri(lv2uris::kFileProperty) + " ;\n  ui:ui " + Uri(lv2uris::kUi) + " ;\n";
  t += "  lv2:port [\n    a lv2:InputPort, atom:AtomPort ;\n    atom:bufferType atom:Sequence ;\n"
       "    atom:supports midi:MidiEvent, patch:Message ;\n    lv2:designation lv2:control ;\n"
       "    lv2:index " +
       std::to_string(lv2ports::kEventsIn) +
       " ;\n    lv2:symbol \"events_in\" ;\n"
       "    lv2:name \"MIDI in\"\n  ] , [\n    a lv2:OutputPort, atom:AtomPort ;\n    atom:bufferType atom:Sequence ;\n"
       "    atom:supports midi:MidiEvent, patch:Message ;\n    lv2:designation lv2:control ;\n"
       "    rsz:minimumSize 16384 ;\n"
       "    lv2:index " +
       std::to_string(lv2ports::kEventsOut) +
       " ;\n    lv2:symbol \"events_out\" ;\n"
       "    lv2:name \"MIDI thru\"\n  ]";
  const char* sides[2][3] = {{"out_left", "Left", "pg:left"}, {"out_right", "Right", "pg:right"}};
  for (int s = 0; s < 2; ++s) {
    t += " , [\n    a lv2:OutputPort, lv2:AudioPort ;\n    lv2:index " + std::to_string(lv2ports::kAudioLeft + s) +
         " ;\n    lv2:symbol \"" + sides[s][0] + "\" ;\n    lv2:name \"" + sides[s][1] + "\" ;\n    pg:group " + group +
         " ;\n    lv2:designation " + sides[s][2] + "\n  ]";
  }
  for (int i = 0; i < lv2ports::kParamCount; ++i) t += " , " + ControlPort(i);
  t += " .\n\n";
  t += Uri(lv2uris::kUi) + "\n  a ui:X11UI ;\n  ui:binary <" + binary + "> ;\n";
  t += "  lv2:requiredFeature ui:parent, <http://lv2plug.in/ns/ext/instance-access> ;\n";
  t += "  lv2:optionalFeature ui:resize, ui:noUserResize, ui:touch, ui:idleInterface, opts:options, urid:map ;\n";
  t += "  lv2:extensionData ui:idleInterface ;\n  opts:supportedOption ui:scaleFactor .\n";
  return t;
}

std::string PresetsTurtle(const std::vector<Bank>& banks) {
  std::string t = kPrefixes;
  for (const Bank& bank : banks) {
    t += BankUri(bank) + "\n  a pset:Bank ;\n  rdfs:label " + Text(bank.title) + " .\n\n";
    for (std::size_t p = 0; p < bank.table.programs.size(); ++p) {
      const resources::BankProgram& program = bank.table.programs[p];
      const int index = static_cast<int>(p);
      const std::string number = std::to_string(11 + index / 8 * 10 + index % 8);
      t += PresetUri(bank, index) + "\n  a pset:Preset ;\n  lv2:appliesTo " + Uri(lv2uris::kPlugin) + " ;\n";
      t += "  pset:bank " + BankUri(bank) + " ;\n";
      t += "  rdfs:label " + Text(bank.title + " " + number + ": " + program.name) + " ;\n  lv2:port ";
      for (int i = 0; i < lv2ports::kParamCount; ++i) {
        t += (i == 0 ? "[ " : " , [ ") + std::string("lv2:symbol ") + Text(lv2ports::ParamSymbol(i)) +
             " ; pset:value " + Number(program.values[static_cast<std::size_t>(i)]) + " ]";
      }
      t += " ;\n  state:state [\n    " + Uri(lv2uris::kStateProgramChunk) + " \"" +
           Base64(ProgramChunk(index, program)) + "\"^^xsd:base64Binary\n  ] .\n\n";
    }
  }
  return t;
}

std::string ManifestTurtle(const std::vector<Bank>& banks, const std::string& binary) {
  std::string t = kPrefixes;
  t += Uri(lv2uris::kPlugin) + "\n  a lv2:Plugin, lv2:InstrumentPlugin ;\n  lv2:binary <" + binary +
       "> ;\n  rdfs:seeAlso <tesvar.ttl> .\n\n";
  t += Uri(lv2uris::kUi) + "\n  a ui:X11UI ;\n  ui:binary <" + binary + "> ;\n  rdfs:seeAlso <tesvar.ttl> .\n\n";
  for (const Bank& bank : banks) {
    for (std::size_t p = 0; p < bank.table.programs.size(); ++p) {
      t += PresetUri(bank, static_cast<int>(p)) + "\n  a pset:Preset ;\n  lv2:appliesTo " + Uri(lv2uris::kPlugin) +
           " ;\n  rdfs:seeAlso <presets.ttl> .\n";
    }
  }
  return t;
}

bool ReadText(const std::string& path, std::string* text) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text->append(buffer, n);
  const bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

bool WriteText(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}

int Usage(const char* message) {
  std::fprintf(stderr,
               "tesvar-make-lv2-bundle: %s\nusage: tesvar-make-lv2-bundle OUTDIR --version MINOR.MICRO "
               "--binary FILE TABLE0 TABLE1 TABLE2\n",
               message);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out;
  std::string binary;
  int minor = -1;
  int micro = -1;
  std::vector<std::string> tables;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--version" && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%d.%d", &minor, &micro) != 2 || minor < 0 || micro < 0) {
        return Usage("--version takes MINOR.MICRO");
      }
    } else if (arg == "--binary" && i + 1 < argc) {
      binary = argv[++i];
    } else if (out.empty()) {
      out = arg;
    } else {
      tables.push_back(arg);
    }
  }
  if (out.empty() || binary.empty() || minor < 0 || tables.size() != kFactoryBankCount) {
    return Usage("an output folder, --version, --binary and one table per factory bank are needed");
  }
  std::vector<Bank> banks;
  for (int b = 0; b < kFactoryBankCount; ++b) {
    Bank bank;
    bank.number = b;
    bank.title = FactoryBankTitle(b);
    bank.key = FactoryBankFileName(b);
    bank.key.resize(bank.key.find('.'));
    std::string text;
    std::string error;
    if (!ReadText(tables[b], &text)) {
      std::fprintf(stderr, "tesvar-make-lv2-bundle: cannot read %s\n", tables[b].c_str());
      return 3;
    }
    if (!resources::ParseBankTable(text, bank.table, error)) {
      std::fprintf(stderr, "%s: %s\n", tables[b].c_str(), error.c_str());
      return 1;
    }
    banks.push_back(std::move(bank));
  }
  const struct {
    const char* name;
    std::string text;
  } files[] = {{"manifest.ttl", ManifestTurtle(banks, binary)},
               {"tesvar.ttl", PluginTurtle(minor, micro, binary)},
               {"presets.ttl", PresetsTurtle(banks)}};
  for (const auto& file : files) {
    if (!WriteText(out + "/" + file.name, file.text)) {
      std::fprintf(stderr, "tesvar-make-lv2-bundle: cannot write %s/%s\n", out.c_str(), file.name);
      return 3;
    }
  }
  return 0;
}
