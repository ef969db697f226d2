// The update check's GET through WinINet: open, connect, open the request, send, read in
// pieces of at most 1024 bytes, and close all three handles. The time-outs of every handle are set
// to what is left of the request's limit before each call that may wait.
#include "platform/HttpGet.h"

#include <chrono>

#include "platform/win32/WindowsHeaders.h"

#include <wininet.h>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

class Deadline {
 public:
  explicit Deadline(int ms) : end_(Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 1)) {}
  bool Passed() const { return Clock::now() >= end_; }
  // What is left, at least 1 ms (0 would mean "no time-out" to WinINet).
  DWORD LeftMs() const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now()).count();
    return left > 1 ? static_cast<DWORD>(left) : 1;
  }
  void Apply(HINTERNET handle) const {
    if (handle == nullptr) return;
    DWORD ms = LeftMs();
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
      InternetSetOptionA(handle, option, &ms, sizeof(ms));
    }
  }

 private:
  Clock::time_point end_;
};

}  // namespace

HttpOutcome HttpGet(const HttpRequest& request, std::string& body) {
  body.clear();
  if (request.host.empty()) return HttpOutcome::kNoAnswer;
  const Deadline deadline(request.timeoutMs);
  HttpOutcome outcome = HttpOutcome::kNoAnswer;
  HINTERNET internet = InternetOpenA(request.agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = nullptr;
  HINTERNET call = nullptr;
  if (internet != nullptr) {
    deadline.Apply(internet);
    connection = InternetConnectA(internet, request.host.c_str(), static_cast<INTERNET_PORT>(request.port), nullptr,
                                  nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  }
  if (connection != nullptr) {
    const char* accept[] = {"*/*", nullptr};
    const std::string object =
        request.object.empty() || request.object[0] != '/' ? "/" + request.object : request.object;
    call = HttpOpenRequestA(connection, "GET", object.c_str(), nullptr, nullptr, accept,
                            request.secure ? INTERNET_FLAG_SECURE : 0, 0);
  }
  if (call != nullptr) {
    deadline.Apply(call);
    if (HttpSendRequestA(call, nullptr, 0, nullptr, 0) && !deadline.Passed()) {
      char piece[1024];
      for (;;) {
        deadline.Apply(call);
        // A blocking read waits until its whole piece has come, however slowly the bytes
        // arrive; asking first what is there waits only for the next bytes, so the limit
        // is checked between them. A failed call (the time-out among others) leaves the
        // answer incomplete: none.
        DWORD ready = 0;
        if (!InternetQueryDataAvailable(call, &ready, 0, 0) || deadline.Passed()) break;
        DWORD read = 0;
        const DWORD want = ready == 0 ? 1 : (ready < sizeof(piece) ? ready : static_cast<DWORD>(sizeof(piece)));
        if (!InternetReadFile(call, piece, want, &read) || deadline.Passed()) break;
        if (read == 0) {
          outcome = HttpOutcome::kBody;
          break;
        }
        if (read > request.maxBytes - body.size()) {
          outcome = HttpOutcome::kTooLarge;
          break;
        }
        body.append(piece, read);
      }
    }
  }
  // Closing a handle that was never opened does nothing.
  InternetCloseHandle(call);
  InternetCloseHandle(connection);
  InternetCloseHandle(internet);
  if (outcome != HttpOutcome::kBody) body.clear();
  return outcome;
}

}  // namespace platform
