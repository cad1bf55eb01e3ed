#pragma once
// Every message box of the program goes through a Messenger: the forms show it with a real
// dialog, the command line prints it, tests record it and answer questions in advance.
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace korventa {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class Answer { Ok, Yes, No, Cancel };

class Messenger {
 public:
  virtual ~Messenger() = default;
  // A message with an OK button.
  virtual void show(std::string_view text, std::string_view title, MsgIcon icon) = 0;
  // A question; `defaultAnswer` is the button chosen by Enter.
  virtual Answer ask(std::string_view text, std::string_view title, MsgButtons buttons, Answer defaultAnswer,
                     MsgIcon icon = MsgIcon::Question) = 0;

  // Shorthands with the usual titles and icons.
  void critical(std::string_view text, std::string_view title = "Mensaje") { show(text, title, MsgIcon::Critical); }
  void info(std::string_view text, std::string_view title = "Mensaje") { show(text, title, MsgIcon::Information); }
  void warning(std::string_view text, std::string_view title = "Mensaje") { show(text, title, MsgIcon::Exclamation); }
  bool yesNo(std::string_view text, std::string_view title = "Confirmar", Answer defaultAnswer = Answer::Yes) {
    return ask(text, title, MsgButtons::YesNo, defaultAnswer) == Answer::Yes;
  }
};

// Keeps every message and answers questions from a queue (then with their default answer).
// Used by tests and by batch runs.
class RecordingMessenger : public Messenger {
 public:
  struct Entry {
    std::string text, title;
    MsgIcon icon;
    bool question;
    Answer answer;
  };

  void show(std::string_view text, std::string_view title, MsgIcon icon) override;
  Answer ask(std::string_view text, std::string_view title, MsgButtons buttons, Answer defaultAnswer,
             MsgIcon icon) override;

  void queueAnswer(Answer a) { answers_.push_back(a); }
  const std::vector<Entry>& entries() const { return entries_; }
  std::vector<std::string> texts() const;
  std::string last() const { return entries_.empty() ? std::string() : entries_.back().text; }
  void clear() {
    entries_.clear();
    answers_.clear();
  }

 private:
  std::vector<Entry> entries_;
  std::deque<Answer> answers_;
};

}  // namespace korventa
