#pragma once
// What a channel import will do, shown before anything is written: how many channels
// are added and updated, every skipped row with its line and reason, and the remarks
// (names cut, references not found, zones created or full). For the editor's own
// layout the user may choose to update the channels the file numbers. OK applies;
// Cancel writes nothing.

#include <QDialog>
#include <functional>

#include "exchange/ChannelCsv.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;

class ChannelImportDialog : public QDialog {
  Q_OBJECT
 public:
  // `plan` was read without updating; `reread(update)` reads the file again when the
  // update choice changes.
  ChannelImportDialog(const pw::CodePlugDocument& doc, const QString& fileName,
                      pw::exchange::ChannelPlan plan,
                      std::function<pw::exchange::ChannelPlan(bool update)> reread,
                      QWidget* parent = nullptr);

  // The plan for the choice made, to apply when the dialog is accepted.
  const pw::exchange::ChannelPlan& plan() const { return plan_; }

 private:
  void showPlan();

  const pw::CodePlugDocument& doc_;
  pw::exchange::ChannelPlan plan_;
  std::function<pw::exchange::ChannelPlan(bool)> reread_;
  QLabel* SummaryLabel = nullptr;
  QLabel* ColumnsLabel = nullptr;
  QCheckBox* UpdateCheckBox = nullptr;
  QPlainTextEdit* ReportText = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};
