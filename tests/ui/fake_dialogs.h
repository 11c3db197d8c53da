// Dialogs that answer at once: the file dialog gives the queued answers in turn (nothing, as
// if cancelled, once they are used up), message boxes and error boxes are recorded.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/dialogs.h"

namespace ramivo::ui {

class FakeDialogs final : public Dialogs {
 public:
  struct Message {
    std::string text;
    MessageKind kind;
    bool operator==(const Message&) const = default;
  };

  std::deque<std::optional<std::string>> answers;
  std::vector<Message> messages;
  QStringList errors;

  std::optional<std::string> PickInputFile() override {
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
  void ShowMessage(const std::string& text, MessageKind kind) override {
    messages.push_back({text, kind});
  }
  void ShowError(const QString& text) override { errors.append(text); }
};

}  // namespace ramivo::ui
