// Shared by the update check's tests: the editor's side (message boxes answered from a
// script, web pages recorded).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "shell/UpdateCheck.h"

namespace update_test {

class ScriptedDialogs : public shell::UpdateDialogs {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    Box box;
  };
  std::vector<Shown> shown;
  std::vector<std::string> opened;
  std::deque<Answer> answers;  // empty: the box could not be shown

  Answer ShowMessage(const std::string& text, const char* caption, Box box) override {
    shown.push_back({text, caption, box});
    if (answers.empty()) return Answer::kNone;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void OpenWebPage(const std::string& url) override { opened.push_back(url); }
};

}  // namespace update_test
