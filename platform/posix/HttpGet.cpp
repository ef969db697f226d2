// The update check's GET through libcurl.
#include "platform/HttpGet.h"

#include <curl/curl.h>

namespace platform {
namespace {

struct Sink {
  std::string* body;
  std::size_t maxBytes;
  bool tooLarge = false;
};

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t bytes = size * count;
  if (bytes > sink->maxBytes - sink->body->size()) {
    sink->tooLarge = true;
    return 0;  // any other count than `bytes` ends the transfer
  }
  sink->body->append(data, bytes);
  return bytes;
}

std::string Url(const HttpRequest& request) {
  // An IPv6 literal goes in brackets.
  const bool literal6 = request.host.find(':') != std::string::npos;
  std::string url = request.secure ? "https://" : "http://";
  url += literal6 ? "[" + request.host + "]" : request.host;
  url += ":" + std::to_string(request.port);
  url += request.object.empty() || request.object[0] != '/' ? "/" + request.object : request.object;
  return url;
}

}  // namespace

HttpOutcome HttpGet(const HttpRequest& request, std::string& body) {
  body.clear();
  if (request.host.empty()) return HttpOutcome::kNoAnswer;
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return HttpOutcome::kNoAnswer;
  Sink sink{&body, request.maxBytes};
  const std::string url = Url(request);
  const long timeout = request.timeoutMs > 0 ? request.timeoutMs : 1;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, request.agent.c_str());
  // Direct access, as the Windows build asks of WinINet: no proxy from the environment.
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  // A plug-in shares the host's process: no signals (they would also break the time-out
  // under threads); one limit for the whole exchange.
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeout);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeout);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  const CURLcode result = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  if (sink.tooLarge) {
    body.clear();
    return HttpOutcome::kTooLarge;
  }
  if (result != CURLE_OK) {
    body.clear();
    return HttpOutcome::kNoAnswer;
  }
  return HttpOutcome::kBody;
}

}  // namespace platform
