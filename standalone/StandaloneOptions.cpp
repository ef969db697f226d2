// Command-line parsing for tesvar, the standalone program.
#include "standalone/StandaloneOptions.h"

namespace standalone {

const char* StandaloneUsage() {
  return "usage: tesvar [options]\n"
         "Plays Tesvar as a JACK client (PipeWire's JACK layer serves too) with its editor in a window.\n"
         "\n"
         "  --bank FILE.fxb     start from this bank instead of the state saved at the last exit\n"
         "  --program P         start on program P: its number 11 ... 88 or its name\n"
         "  --no-connect        connect no ports (by default the outputs go to the system playback\n"
         "                      ports and every MIDI hardware port to the MIDI input)\n"
         "  --auto-connect      also connect MIDI hardware ports that appear while tesvar runs\n"
         "  --name NAME         the JACK client's name (default tesvar)\n"
         "  --server NAME       the JACK server to join (default: $JACK_DEFAULT_SERVER, else \"default\")\n"
         "  --headless          no window: play MIDI from JACK until interrupted (Ctrl+C)\n"
         "  --plugin FILE       the plug-in library to play (default: Tesvar64.so beside tesvar,\n"
         "                      else ../lib/vst/Tesvar64.so)\n"
         "  --list-ports        list the ports tesvar would connect to, and the others, then end\n"
         "  --version           the version, then end\n"
         "  --help              this text\n"
         "\n"
         "The computer keyboard plays while the window has the focus: Z S X D C V G B H N J M , L . ; /\n"
         "from C3 and Q 2 W 3 E R 5 T 6 Y 7 U I 9 O 0 P from C4; - and = shift the octave, [ and ] step\n"
         "the velocity, Escape ends every note. Keys that the editor's text fields and dialogs take\n"
         "stay theirs.\n"
         "\n"
         "On exit (closing the window, Ctrl+C, SIGTERM) the whole state is saved in\n"
         "$XDG_STATE_HOME/QuellmarkMusic/standalone.fxb (~/.local/state/... by default) and restored\n"
         "at the next start; a damaged state file is set aside, not lost.\n"
         "\n"
         "Exit status: 0 after a normal end, 2 when no JACK server is running, 1 for anything else.\n";
}

bool ParseStandaloneOptions(int argc, const char* const* argv, StandaloneOptions* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      o->help = true;
      return true;
    }
    if (arg == "--version") {
      o->version = true;
    } else if (arg == "--no-connect") {
      o->connect = false;
    } else if (arg == "--auto-connect") {
      o->autoConnect = true;
    } else if (arg == "--headless") {
      o->headless = true;
    } else if (arg == "--list-ports") {
      o->listPorts = true;
    } else if (arg == "--bank" || arg == "--program" || arg == "--name" || arg == "--server" || arg == "--plugin") {
      // A value never begins with "--": "--bank --program 11" lacks the bank.
      if (i + 1 >= argc || argv[i + 1][0] == '\0' || std::string(argv[i + 1]).rfind("--", 0) == 0) {
        *error = arg + " needs a value";
        return false;
      }
      const std::string value = argv[++i];
      if (arg == "--bank") o->bankFile = value;
      if (arg == "--program") o->program = value;
      if (arg == "--name") o->clientName = value;
      if (arg == "--server") o->serverName = value;
      if (arg == "--plugin") o->pluginPath = value;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  if (!o->connect && o->autoConnect) {
    *error = "--no-connect and --auto-connect contradict each other";
    return false;
  }
  return true;
}

}  // namespace standalone
