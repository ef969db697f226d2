// A small HTTP server for the update check's tests: it listens on 127.0.0.1 only, on a port
// the system picks, and answers every connection the same way on its own thread until it is
// destroyed. POSIX sockets, or Winsock in the Windows build (run under Wine).
#pragma once

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
using SocketHandle = SOCKET;
constexpr SocketHandle kNoSocket = INVALID_SOCKET;
inline void CloseSocket(SocketHandle s) { closesocket(s); }
constexpr int kSendFlags = 0;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
using SocketHandle = int;
constexpr SocketHandle kNoSocket = -1;
inline void CloseSocket(SocketHandle s) { close(s); }
constexpr int kSendFlags = MSG_NOSIGNAL;  // a client that hung up is no signal to the test
#endif

class LoopbackServer {
 public:
  enum class Mode {
    kAnswer,      // a complete response with `body` and its length
    kNoResponse,  // closes the connection after the request without sending a byte
    kSilent,      // accepts and reads the request, then never answers
    kStream,      // a response without length whose body never ends
    kTrickle,     // a response without length: one digit every 200 ms, for ever
  };

  explicit LoopbackServer(Mode mode, std::string body = "", int status = 200)
      : mode_(mode), body_(std::move(body)), status_(status) {
#if defined(_WIN32)
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
#endif
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);  // 127.0.0.1, never another address
    address.sin_port = 0;
    if (listener_ == kNoSocket || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener_, 4) != 0) {
      return;
    }
    socklen_t length = sizeof(address);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }

  ~LoopbackServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != kNoSocket) CloseSocket(listener_);
#if defined(_WIN32)
    WSACleanup();
#endif
  }

  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  // 0 when the server could not start.
  int Port() const { return port_; }
  std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // The head of the last request received (request line and headers).
  std::string LastRequest() const {
    std::lock_guard<std::mutex> guard(lock_);
    return request_;
  }
  int Connections() const { return connections_.load(); }
  // Body bytes sent on the last connection.
  long long BytesSent() const { return sent_.load(); }

 private:
  // Waits up to 50 ms for the socket to become readable (or writable).
  static bool Ready(SocketHandle s, bool write) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait{0, 50000};
    const int n = select(static_cast<int>(s) + 1, write ? nullptr : &set, write ? &set : nullptr, nullptr, &wait);
    return n > 0;
  }

  bool SendAll(SocketHandle s, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      if (stop_) return false;
      if (!Ready(s, true)) continue;
      const int n = send(s, bytes.data() + done, static_cast<int>(bytes.size() - done), kSendFlags);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  void Serve() {
    while (!stop_) {
      if (!Ready(listener_, false)) continue;
      const SocketHandle client = accept(listener_, nullptr, nullptr);
      if (client == kNoSocket) continue;
      ++connections_;
      sent_ = 0;
      Answer(client);
      CloseSocket(client);
    }
  }

  void Answer(SocketHandle client) {
    std::string head;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (head.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < until && !stop_) {
      if (!Ready(client, false)) continue;
      char buffer[1024];
      const int n = recv(client, buffer, sizeof(buffer), 0);
      if (n <= 0) break;
      head.append(buffer, static_cast<std::size_t>(n));
    }
    {
      std::lock_guard<std::mutex> guard(lock_);
      request_ = head;
    }
    const std::string status = "HTTP/1.1 " + std::to_string(status_) + " Answer\r\nContent-Type: text/plain\r\n";
    switch (mode_) {
      case Mode::kAnswer:
        if (SendAll(client,
                    status + "Content-Length: " + std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n")) {
          if (SendAll(client, body_)) sent_ = static_cast<long long>(body_.size());
        }
        break;
      case Mode::kNoResponse: break;
      case Mode::kSilent:
        while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        break;
      case Mode::kStream: {
        if (!SendAll(client, status + "Connection: close\r\n\r\n")) break;
        const std::string chunk(4096, '7');
        while (SendAll(client, chunk)) sent_ += static_cast<long long>(chunk.size());
        break;
      }
      case Mode::kTrickle:
        if (!SendAll(client, status + "Connection: close\r\n\r\n")) break;
        while (!stop_ && SendAll(client, "1")) {
          ++sent_;
          std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        break;
    }
  }

  Mode mode_;
  std::string body_;
  int status_;
  SocketHandle listener_ = kNoSocket;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::atomic<long long> sent_{0};
  mutable std::mutex lock_;
  std::string request_;
};
