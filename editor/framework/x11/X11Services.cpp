// The Linux editor's services: folders, the clipboard, web pages, and the file and colour
// dialogs (the desktop's zenity or kdialog when installed, else the chooser drawn here).
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "editor/framework/PlatformGraphics.h"
#include "editor/framework/x11/IGraphicsX11.h"
#include "editor/framework/x11/X11FileChooser.h"
#include "editor/framework/x11/X11Processes.h"
#include "platform/Platform.h"

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string Home() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "";
}

// Which dialog program serves files: TESVAR_FILE_DIALOG=drawn|zenity|kdialog chooses;
// otherwise zenity, then kdialog, when installed, else the drawn chooser.
std::string FileDialogProgram() {
  const char* forced = std::getenv("TESVAR_FILE_DIALOG");
  if (forced != nullptr && forced[0] != '\0') return forced;
  if (x11::ProgramExists("zenity")) return "zenity";
  if (x11::ProgramExists("kdialog")) return "kdialog";
  return "drawn";
}

}  // namespace

std::string IGraphicsX11::HostFolder() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  if (n <= 0) return "";
  return FolderOf(std::string(path, static_cast<std::size_t>(n)));
}

std::string IGraphicsX11::PluginFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&CreatePlatformGraphics), &info) == 0 || info.dli_fname == nullptr) return "";
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved) == nullptr) return FolderOf(info.dli_fname);
  return FolderOf(resolved);
}

std::string IGraphicsX11::DesktopFolder() {
  const std::string home = Home();
  if (home.empty()) return "";
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::ifstream dirs((config != nullptr && config[0] != '\0' ? std::string(config) : home + "/.config") +
                     "/user-dirs.dirs");
  std::string line;
  while (std::getline(dirs, line)) {
    const std::string key = "XDG_DESKTOP_DIR=\"";
    if (line.compare(0, key.size(), key) != 0 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    if (platform::PathExists(value)) return WithSlash(value);
  }
  if (platform::PathExists(home + "/Desktop")) return home + "/Desktop/";
  return WithSlash(home);
}

std::string IGraphicsX11::AppDataFolder(bool common) {
  if (common) return "/usr/local/share/";
  return WithSlash(platform::LocalAppDataFolder());
}

bool IGraphicsX11::ClipboardText(std::string& text) {
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  if (!IsWindowOpen()) return false;
  Display* d = Connection().display;
  const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  const Atom property = XInternAtom(d, "TESVAR_CLIPBOARD", False);
  if (XGetSelectionOwner(d, clipboard) == None) return false;
  XConvertSelection(d, clipboard, utf8, property, EditorWindow(), CurrentTime);
  XFlush(d);
  // The owner answers through the server; other events stay queued meanwhile.
  XEvent event;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  bool answered = false;
  while (std::chrono::steady_clock::now() < deadline && !ClosePending()) {
    if (XCheckTypedWindowEvent(d, EditorWindow(), SelectionNotify, &event)) {
      answered = true;
      break;
    }
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    poll(&p, 1, 10);
  }
  if (!answered || event.xselection.property == None) return false;
  Atom type;
  int format;
  unsigned long count;
  unsigned long after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, EditorWindow(), property, 0, 1 << 16, True, AnyPropertyType, &type, &format, &count, &after,
                         &data) != Success ||
      data == nullptr) {
    return false;
  }
  text.clear();
  if (type == utf8) {
    text.assign(reinterpret_cast<char*>(data), count);
  } else if (type == XA_STRING) {  // Latin-1
    for (unsigned long i = 0; i < count; ++i) {
      const unsigned char c = data[i];
      if (c < 0x80) {
        text.push_back(static_cast<char>(c));
      } else {
        text.push_back(static_cast<char>(0xC0 | (c >> 6)));
        text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
      }
    }
  }
  XFree(data);
  return !text.empty();
}

bool IGraphicsX11::LaunchUrl(const char* url) { return x11::StartDetached({"xdg-open", url}); }

bool IGraphicsX11::PromptColor(LICE_pixel& color) {
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  if (!IsWindowOpen() || !x11::ProgramExists("zenity")) return false;
  char initial[40];
  std::snprintf(initial, sizeof(initial), "--color=rgb(%d,%d,%d)", LICE_GETR(color), LICE_GETG(color),
                LICE_GETB(color));
  std::string output;
  if (!x11::RunForOutput({"zenity", "--color-selection", initial}, output, [this] { return KeepPainting(); }))
    return false;
  int r = 0;
  int g = 0;
  int b = 0;
  if (std::sscanf(output.c_str(), "rgb(%d,%d,%d)", &r, &g, &b) != 3 &&
      std::sscanf(output.c_str(), "rgba(%d,%d,%d", &r, &g, &b) != 3 &&
      std::sscanf(output.c_str(), "#%2x%2x%2x", &r, &g, &b) != 3) {
    return false;
  }
  color = IColor(255, r, g, b);
  return true;
}

bool IGraphicsX11::KeepPainting() {
  if (!IsWindowOpen() || ClosePending()) return false;
  Display* d = Connection().display;
  XEvent event;
  while (XCheckWindowEvent(d, EditorWindow(), ExposureMask | StructureNotifyMask, &event)) {
    if (event.type == Expose) {
      Paint(IRect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                  event.xexpose.y + event.xexpose.height));
    } else if (event.type == DestroyNotify) {
      WindowGone();
      return false;
    }
  }
  XFlush(d);
  return true;
}

bool IGraphicsX11::RunFileDialog(const IFileRequest& request, std::string& path) {
  const std::string program = FileDialogProgram();
  const std::string start = request.folder + request.fileName;
  std::string output;
  bool ok = false;
  if (program == "zenity") {
    std::vector<std::string> argv = {"zenity", "--file-selection",
                                     std::string("--title=") + (request.save ? "Save" : "Open"), "--filename=" + start};
    if (request.save) {
      argv.emplace_back("--save");
      argv.emplace_back("--confirm-overwrite");
    }
    if (!request.pattern.empty()) {
      std::string patterns = request.pattern;
      for (char& c : patterns) c = c == ';' ? ' ' : c;
      argv.push_back("--file-filter=" + request.pattern + " | " + patterns);
    }
    ok = x11::RunForOutput(argv, output, [this] { return KeepPainting(); });
  } else if (program == "kdialog") {
    std::string patterns = request.pattern;
    for (char& c : patterns) c = c == ';' ? ' ' : c;
    ok = x11::RunForOutput({"kdialog", request.save ? "--getsavefilename" : "--getopenfilename", start, patterns},
                           output, [this] { return KeepPainting(); });
  } else {
    return x11::RunDrawnFileChooser(*this, request, path);
  }
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  if (!ok || output.empty()) return false;
  path = output;
  return true;
}
