// Fuzz target: the body the update server answers, read by the real update check behind a
// stand-in GET (the body is the input; longer than the GET takes, it is "too large"). The
// check must end in one of its results, show one message, offer the product page only for
// a number above ours (read independently here with strtoll) and keep the new version text
// to its limit. The user answers Yes, so an offer also opens the page.
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "shell/UpdateCheck.h"

namespace {

const std::string* g_body = nullptr;

platform::HttpOutcome FuzzedGet(const platform::HttpRequest& request, std::string& body) {
  body.clear();
  if (g_body->size() > request.maxBytes) return platform::HttpOutcome::kTooLarge;
  body = *g_body;
  return platform::HttpOutcome::kBody;
}

class AnsweringYes : public shell::UpdateDialogs {
 public:
  int shown = 0;
  std::string text;
  Box box = Box::kInformation;
  std::vector<std::string> opened;

  Answer ShowMessage(const std::string& message, const char*, Box kind) override {
    ++shown;
    text = message;
    box = kind;
    return Answer::kYes;
  }
  void OpenWebPage(const std::string& url) override { opened.push_back(url); }
};

// The C reading of a leading number, clamped to int.
int LeadingNumber(const std::string& body) {
  const long long value = std::strtoll(body.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string body(reinterpret_cast<const char*>(data), size);
  g_body = &body;
  const shell::UpdateProduct product;
  AnsweringYes dialogs;
  const int result = shell::CheckForUpdate(dialogs, shell::UpdateServer(), product, &FuzzedGet);
  g_body = nullptr;

  fuzz::Require(dialogs.shown == 1 && !dialogs.text.empty(), "one message for every reply");
  const bool html = body.size() > shell::kUpdateMaxBytes || body.find('<') != std::string::npos;
  if (html) {
    fuzz::Require(result == shell::kUpdateNotAVersion, "a page or an oversized body is an invalid call");
  } else if (body.empty()) {
    fuzz::Require(result == shell::kUpdateNoAnswer, "an empty body is no answer");
  } else {
    fuzz::Require(result == shell::kUpdateChecked, "a body without a page is a completed check");
    const bool offered = dialogs.box == shell::UpdateDialogs::Box::kYesNo;
    fuzz::Require(offered == (LeadingNumber(body) > product.versionNumber),
                  "the offer comes for a number above ours and only then");
    if (offered) {
      const std::string head = "\tNew version: \t";
      const std::string tail = "\n\nDo you want to go to ";
      const std::size_t from = dialogs.text.find(head);
      const std::size_t to = dialogs.text.rfind(tail);
      fuzz::Require(from != std::string::npos && to != std::string::npos && to >= from + head.size(),
                    "the offer names the new version");
      fuzz::Require(to - from - head.size() <= 64, "the new version text keeps to its limit");
      fuzz::Require(
          dialogs.opened == std::vector<std::string>{std::string(shell::kMakerWebAddress) + shell::kProductPagePath},
          "Yes opens the product page once");
    }
  }
  if (result != shell::kUpdateChecked || dialogs.box != shell::UpdateDialogs::Box::kYesNo) {
    fuzz::Require(dialogs.opened.empty(), "no page without an offer");
  }
  return 0;
}
