#pragma once
// A prompt for tests: records every text it is shown and answers from a script.

#include <deque>
#include <string>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/Prompt.h"

namespace pwtest {

class ScriptedPrompt : public pw::Prompt {
public:
  struct Shown {
    std::string kind;  // "refuse", "error", "warning", "question", "inform"
    std::string text;
    std::string title{};  // inform only
  };
  std::vector<Shown> shown;
  std::deque<pw::RefusalAnswer> refusals;  // default when empty: Stop
  std::deque<bool> warnings;               // default: false (No)
  std::deque<pw::Answer> questions;        // default: No / Cancel

  pw::RefusalAnswer refuse(const std::string& text) override {
    shown.push_back({"refuse", text});
    return pop(refusals, pw::RefusalAnswer::Stop);
  }
  void error(const std::string& text) override { shown.push_back({"error", text}); }
  bool warnYesNo(const std::string& text) override {
    shown.push_back({"warning", text});
    return pop(warnings, false);
  }
  pw::Answer question(const std::string& text, bool withCancel) override {
    shown.push_back({"question", text});
    return pop(questions, withCancel ? pw::Answer::Cancel : pw::Answer::No);
  }
  void inform(const std::string& title, const std::string& text) override {
    shown.push_back({"inform", text, title});
  }
  std::vector<std::string> texts(const std::string& kind) const {
    std::vector<std::string> out;
    for (const auto& s : shown)
      if (s.kind == kind) out.push_back(s.text);
    return out;
  }

private:
  template <typename T>
  static T pop(std::deque<T>& q, T fallback) {
    if (q.empty()) return fallback;
    T v = q.front();
    q.pop_front();
    return v;
  }
};

// A document that shows everything through a scripted prompt.
struct PromptedDocument {
  ScriptedPrompt prompt;
  pw::CodePlugDocument doc{&prompt};
};

}  // namespace pwtest
