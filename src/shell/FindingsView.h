#pragma once
// The findings panel below the tabs: one row per finding of the checks (the rules, texts
// and order of `plugwright-cli validate`), with the tab and record it is about. The list
// follows the user's edits without holding them up: it is brought up to date at most once
// per kMinInterval, and while the user types into a box only once the typing pauses.

#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "validation/Validation.h"

class FindingsModel;

class FindingsView : public QTreeView {
  Q_OBJECT
 public:
  static constexpr int kMinInterval = 200;  // ms from one run of the checks to the next

  // `tabCaption` names the tab that shows a section's records.
  FindingsView(const pw::CodePlugDocument& doc, std::function<QString(pw::PlugSection)> tabCaption,
               QWidget* parent = nullptr);

  // Runs the checks now (a code plug was loaded or restored).
  void recheck();
  // Runs them again soon after an edit step; `typing`: the step was a keystroke in a box.
  void recheckSoon(bool typing);
  bool recheckPending() const { return timer_.isActive(); }
  const std::vector<pw::Finding>& findings() const;

 signals:
  void countChanged(int count);
  void findingActivated(pw::PlugSection section, int record);

 private:
  const pw::CodePlugDocument& doc_;
  FindingsModel* model_;
  QTimer timer_;
  QElapsedTimer lastRun_;
};
