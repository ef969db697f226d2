// The update check: the request, the reading of the answer and the messages.
#include "shell/UpdateCheck.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "platform/Platform.h"
#include "shell/Atoi.h"

namespace shell {
namespace {

constexpr char kCaption[] = "Check Online for Update";
constexpr std::size_t kMaxVersionText = 64;

bool IsHostCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.' || c == '_';
}

std::string_view Trimmed(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool ParseUpdateServer(std::string_view text, UpdateServer& server) {
  text = Trimmed(text);
  UpdateServer parsed;
  if (StartsWithIgnoringCase(text, "https://")) {
    parsed.secure = true;
    parsed.port = 443;
    text.remove_prefix(8);
  } else if (StartsWithIgnoringCase(text, "http://")) {
    parsed.port = 80;
    text.remove_prefix(7);
  } else {
    return false;
  }
  if (!text.empty() && text.back() == '/') text.remove_suffix(1);
  std::string_view host;
  std::string_view port;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos || close < 2) return false;
    host = text.substr(1, close - 1);
    if (!std::all_of(host.begin(), host.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.'; })) {
      return false;
    }
    text.remove_prefix(close + 1);
    if (!text.empty() && text.front() != ':') return false;
    if (!text.empty()) port = text.substr(1);
  } else {
    const std::size_t colon = text.find(':');
    host = text.substr(0, colon);
    if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostCharacter)) return false;
    if (colon != std::string_view::npos) port = text.substr(colon + 1);
  }
  if (text.find(':') != std::string_view::npos || !port.empty()) {
    if (port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return false;
    }
    const int number = SaturatingAtoi(port);
    if (number < 1 || number > 65535) return false;
    parsed.port = number;
  }
  parsed.host = std::string(host);
  server = parsed;
  return true;
}

UpdateServer ConfiguredUpdateServer(const std::string& iniPath) {
  UpdateServer server;
  if (iniPath.empty()) return server;
  const std::string value = platform::ReadProfileString(iniPath, "Global", "Update Server", "", 259);
  ParseUpdateServer(value, server);
  return server;
}

std::string ServerAddress(const UpdateServer& server) {
  const bool literal6 = server.host.find(':') != std::string::npos;
  std::string address = server.secure ? "https://" : "http://";
  address += literal6 ? "[" + server.host + "]" : server.host;
  if (server.port != (server.secure ? 443 : 80)) address += ":" + std::to_string(server.port);
  return address;
}

std::string NewVersionText(std::string_view answer) {
  answer = Trimmed(answer);
  std::string text;
  if (!answer.empty()) text += answer[0];
  text += '.';
  if (answer.size() > 1) text += answer[1];
  text += '.';
  if (answer.size() > 2) text += answer.substr(answer[2] == '0' ? 3 : 2);
  if (text.size() > kMaxVersionText) text.resize(kMaxVersionText);
  return text;
}

int CheckForUpdate(UpdateDialogs& dialogs, const UpdateServer& server, const UpdateProduct& product, HttpFetch fetch) {
  using Box = UpdateDialogs::Box;
  const std::string& host = server.host;
  const std::string error = "An error occurred while contacting " + host + ".";
  try {
    platform::HttpRequest request;
    request.secure = server.secure;
    request.host = server.host;
    request.port = server.port;
    request.object = "/music/version/?file=" + product.pathWord;
    request.agent = product.name;
    request.timeoutMs = kUpdateTimeoutMs;
    request.maxBytes = kUpdateMaxBytes;
    std::string response;
    const platform::HttpOutcome outcome =
        fetch != nullptr ? fetch(request, response) : platform::HttpOutcome::kNoAnswer;
    if (outcome == platform::HttpOutcome::kTooLarge ||
        (outcome == platform::HttpOutcome::kBody && response.find('<') != std::string::npos)) {
      dialogs.ShowMessage("Invalid call to " + host + ".", kCaption, Box::kError);
      return kUpdateNotAVersion;
    }
    if (outcome != platform::HttpOutcome::kBody || response.empty()) {
      dialogs.ShowMessage(error, kCaption, Box::kError);
      return kUpdateNoAnswer;
    }
    if (SaturatingAtoi(response) <= product.versionNumber) {
      dialogs.ShowMessage("Your version is up to date.", kCaption, Box::kInformation);
      return kUpdateChecked;
    }
    const std::string text = "A new version of " + product.name + " is available.\n\n" + "\tYour version: \t" +
                             product.versionText + "\n" + "\tNew version: \t" + NewVersionText(response) + "\n" +
                             "\nDo you want to go to " + host + " to get the new version?";
    const std::string caption = "New Version of " + product.name + " Detected";
    if (dialogs.ShowMessage(text, caption.c_str(), Box::kYesNo) != UpdateDialogs::Answer::kNo) {
      dialogs.OpenWebPage(ServerAddress(server) + kProductPagePath);
    }
    return kUpdateChecked;
  } catch (const std::exception&) {
    try {
      dialogs.ShowMessage(error, kCaption, Box::kError);
    } catch (const std::exception&) {
    }
    return kUpdateFailed;
  }
}

}  // namespace shell
