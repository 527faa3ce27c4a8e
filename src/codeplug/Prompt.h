#pragma once
// The model never shows a box itself: it asks and tells through this interface.
// The editor implements it with message boxes, tests with a scripted fake.

#include <string>

namespace pw {

enum class RefusalAnswer { GoOn, Stop };  // "Opps" box: OK goes on, Cancel (or closing) stops
enum class Answer { Yes, No, Cancel };

class Prompt {
public:
  virtual ~Prompt() = default;
  // A delete refused because the record is in use (title "Opps", OK/Cancel, information icon).
  virtual RefusalAnswer refuse(const std::string& text) = 0;
  // A failure (title "Error", OK, error icon).
  virtual void error(const std::string& text) = 0;
  // The password warning before saving (title "Warning", Yes/No, exclamation icon); true = Yes.
  virtual bool warnYesNo(const std::string& text) = 0;
  // A question (title "Query", question icon): Yes/No, or Yes/No/Cancel when withCancel.
  virtual Answer question(const std::string& text, bool withCancel) = 0;
  // What an action did not do, told after it (the given title, OK, information icon).
  virtual void inform(const std::string& title, const std::string& text) = 0;
};

// Says nothing and answers every question the cautious way (Stop, No).
class SilentPrompt final : public Prompt {
public:
  RefusalAnswer refuse(const std::string&) override { return RefusalAnswer::Stop; }
  void error(const std::string&) override {}
  bool warnYesNo(const std::string&) override { return false; }
  Answer question(const std::string&, bool withCancel) override { return withCancel ? Answer::Cancel : Answer::No; }
  void inform(const std::string&, const std::string&) override {}
};

}  // namespace pw
