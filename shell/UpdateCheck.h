// The online update check: one GET to the maker's web server for the newest version number,
// compared with the built-in one; the user is told the result and, when a newer version
// exists, offered the product page.
#pragma once

#include <string>
#include <string_view>

#include "platform/HttpGet.h"

namespace shell {

// The maker's web host, its home page and the product page's path on it.
inline constexpr char kMakerHost[] = "www.quellmarkmusic.com";
inline constexpr char kMakerWebAddress[] = "http://www.quellmarkmusic.com";
inline constexpr char kProductPagePath[] = "/music/vst.html";

// Results of CheckForUpdate.
inline constexpr int kUpdateChecked = 0;       // up to date, or the user answered the offer
inline constexpr int kUpdateNoAnswer = -1;     // nothing (or an empty body) came back in time
inline constexpr int kUpdateFailed = -2;       // an exception ended the check
inline constexpr int kUpdateNotAVersion = -3;  // an HTML page, or a body over the size limit

// The whole exchange, connecting and reading included, ends after this long.
inline constexpr int kUpdateTimeoutMs = 10000;
inline constexpr std::size_t kUpdateMaxBytes = 64 * 1024;

// Where the check asks: the maker's server unless the configuration's optional key
// "Update Server" (section "Global") names another scheme, host and port.
struct UpdateServer {
  bool secure = false;
  std::string host = kMakerHost;
  int port = 80;
};
// "http://HOST[:PORT][/]" or "https://HOST[:PORT][/]" (scheme in any case; an IPv6 address
// in brackets; port 1 ... 65535, 80 or 443 by default). False, with `server` unchanged,
// for anything else.
bool ParseUpdateServer(std::string_view text, UpdateServer& server);
// The server the configuration file at iniPath names; the maker's when the key is absent,
// empty or not an address ParseUpdateServer takes. User-interface thread.
UpdateServer ConfiguredUpdateServer(const std::string& iniPath);
// "http://HOST" or "https://HOST:PORT" (the port only where it is not the scheme's own).
std::string ServerAddress(const UpdateServer& server);

// The product as the check names and compares it.
struct UpdateProduct {
  std::string name = "Tesvar";      // the agent name and the texts
  std::string pathWord = "tesvar";  // the request's "file" argument
  std::string versionText = "1.0.1";
  int versionNumber = 1001;  // the newest version counted as up to date
};

// What the check needs of the editor: its message box and its way to open a web page.
class UpdateDialogs {
 public:
  enum class Box { kInformation, kError, kYesNo };
  enum class Answer { kNone, kOK, kYes, kNo };
  virtual ~UpdateDialogs() = default;
  virtual Answer ShowMessage(const std::string& text, const char* caption, Box box) = 0;
  virtual void OpenWebPage(const std::string& url) = 0;
};

// The GET itself: platform::HttpGet, or a stand-in in tests.
using HttpFetch = platform::HttpOutcome (*)(const platform::HttpRequest&, std::string&);

// Asks `server` for "/music/version/?file=<pathWord>" and tells the user the result (see
// the result constants). Runs on the user-interface thread and blocks it for at most about
// kUpdateTimeoutMs; takes no lock.
int CheckForUpdate(UpdateDialogs& dialogs, const UpdateServer& server, const UpdateProduct& product,
                   HttpFetch fetch = &platform::HttpGet);

// The newer version's text built from the server's answer (blanks and line ends around it
// dropped): first character, ".", second character, ".", then the rest from the third
// character on, or from the fourth when the third is "0" (1002 gives 1.0.2, 1234 1.2.34,
// 2000 2.0.0). Never reads past a short answer; at most 64 characters.
std::string NewVersionText(std::string_view answer);

}  // namespace shell
