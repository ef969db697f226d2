// One plain HTTP GET, for the online update check: WinINet on Windows, libcurl elsewhere.
// Kept out of platform/Platform.h so that only the update check links the network library.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

struct HttpRequest {
  bool secure = false;  // https instead of http
  std::string host;     // a name or an address literal
  int port = 80;
  std::string object;  // path and query, starting with '/'
  std::string agent;   // the User-Agent
  // The whole exchange (resolving, connecting, sending and every read) ends after this long.
  int timeoutMs = 10000;
  // The longest body taken; a longer one is not read on.
  std::size_t maxBytes = 64 * 1024;
};

enum class HttpOutcome {
  kBody,      // the server answered; `body` holds its body (possibly empty), whatever the status
  kNoAnswer,  // no connection, a failed send or read, or the time ran out; `body` is empty
  kTooLarge,  // the body is longer than maxBytes; `body` is empty
};

// Direct access: no proxy is used, whatever the system or the environment says. Redirects
// are followed (http and https only). Blocks the calling thread for at most about
// request.timeoutMs. Any thread; no lock is held meanwhile.
HttpOutcome HttpGet(const HttpRequest& request, std::string& body);

}  // namespace platform
