#include "common/messenger.h"

namespace korventa {

void RecordingMessenger::show(std::string_view text, std::string_view title, MsgIcon icon) {
  entries_.push_back({std::string(text), std::string(title), icon, false, Answer::Ok});
}

Answer RecordingMessenger::ask(std::string_view text, std::string_view title, MsgButtons, Answer defaultAnswer,
                               MsgIcon icon) {
  Answer a = defaultAnswer;
  if (!answers_.empty()) {
    a = answers_.front();
    answers_.pop_front();
  }
  entries_.push_back({std::string(text), std::string(title), icon, true, a});
  return a;
}

std::vector<std::string> RecordingMessenger::texts() const {
  std::vector<std::string> out;
  for (const auto& e : entries_) out.push_back(e.text);
  return out;
}

}  // namespace korventa
