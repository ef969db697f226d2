// The command line, and the words for a user without a JACK server.
#include "standalone/StandaloneOptions.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "standalone/JackSession.h"

namespace standalone {
namespace {

struct OptionsCase {
  const char* line;
  const char* expected;  // the options' fields that differ from the defaults, or "error: ..."
};

std::string Describe(const StandaloneOptions& o) {
  std::string d;
  if (!o.bankFile.empty()) d += "bank=" + o.bankFile + " ";
  if (!o.program.empty()) d += "program=" + o.program + " ";
  if (o.clientName != "tesvar") d += "name=" + o.clientName + " ";
  if (!o.serverName.empty()) d += "server=" + o.serverName + " ";
  if (!o.pluginPath.empty()) d += "plugin=" + o.pluginPath + " ";
  if (!o.connect) d += "no-connect ";
  if (o.autoConnect) d += "auto-connect ";
  if (o.headless) d += "headless ";
  if (o.listPorts) d += "list ";
  if (o.help) d += "help ";
  if (o.version) d += "version ";
  return d;
}

TEST(StandaloneOptionsTest, LinesParseOrAreRefusedWithAReason) {
  const OptionsCase cases[] = {
      {"", ""},
      {"--bank my.fxb --program 35", "bank=my.fxb program=35 "},
      {"--program Fat_Brass --name live --server studio", "program=Fat_Brass name=live server=studio "},
      {"--no-connect --headless --plugin /x/Tesvar64.so", "plugin=/x/Tesvar64.so no-connect headless "},
      {"--auto-connect --list-ports --version", "auto-connect list version "},
      {"--headless --help --bogus", "headless help "},
      {"--program", "error: --program needs a value"},
      {"--bank --program 11", "error: --bank needs a value"},
      {"--frobnicate", "error: unknown option --frobnicate"},
      {"stray", "error: unknown option stray"},
      {"--no-connect --auto-connect", "error: --no-connect and --auto-connect contradict each other"},
  };
  for (const OptionsCase& c : cases) {
    std::vector<std::string> words = {"tesvar"};
    std::istringstream in(c.line);
    for (std::string word; in >> word;) words.push_back(word);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    StandaloneOptions options;
    std::string error;
    const bool ok = ParseStandaloneOptions(static_cast<int>(argv.size()), argv.data(), &options, &error);
    EXPECT_EQ(ok ? Describe(options) : "error: " + error, c.expected) << c.line;
  }
}

TEST(StandaloneOptionsTest, TheNoServerMessageFitsTheJackLibraryInUse) {
  const std::string jack = NoServerMessage("default", false, false);
  EXPECT_NE(jack.find("no JACK server (\"default\") is running"), std::string::npos) << jack;
  EXPECT_NE(jack.find("jackd -d alsa"), std::string::npos) << jack;
  const std::string missingLayer = NoServerMessage("default", false, true);
  EXPECT_NE(missingLayer.find("its JACK layer is missing"), std::string::npos) << missingLayer;
  EXPECT_NE(missingLayer.find("pw-jack tesvar"), std::string::npos) << missingLayer;
  const std::string pipewire = NoServerMessage("default", true, false);
  EXPECT_NE(pipewire.find("PipeWire's JACK layer found no PipeWire server"), std::string::npos) << pipewire;
}

}  // namespace
}  // namespace standalone
