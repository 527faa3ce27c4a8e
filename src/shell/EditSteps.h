#pragma once
// Turns what the user does into undo steps, for every tab alike. After each input event
// (and after whatever it posted, such as a drop-down's late commit) the document settles
// its changes into one step. Keystrokes into one text box while it keeps the focus join
// one step. While a modal box is open nothing settles, so a delete that asks about a
// refusal half-way stays one step; when a modal dialog closes, what the action does with
// its answer (an import applied) settles as a step once the action has finished.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

#include "codeplug/CodePlugDocument.h"

class QWidget;

class EditSteps : public QObject {
  Q_OBJECT
 public:
  // `describe` names a step no action named itself (e.g. "edit Channels").
  EditSteps(pw::CodePlugDocument& doc, std::function<QString()> describe, QObject* parent = nullptr);
  ~EditSteps() override;

  // Settles now; true when a step was recorded or grew, here or since the last settle.
  bool settle();
  // Whether the user is typing into a text box (keystrokes there join one step).
  bool typing() const { return mergeKey() != 0; }
  // Called after every settle that recorded something, and after undo and redo.
  std::function<void()> changed;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void post();
  std::uint64_t mergeKey() const;

  pw::CodePlugDocument& doc_;
  std::function<QString()> describe_;
  bool posted_ = false;
  QPointer<QWidget> typingBox_;    // the text box the last keystrokes went to
  std::uint64_t focusSerial_ = 0;  // changes whenever a text box gains the focus
  std::uint64_t settlesSeen_ = 0;  // the history's settle count at the last settle here
};
