#pragma once
// What the main window asks of every tab: rebuild or refresh itself from the image, show
// a record of a section it lists, keep and give back where the user was, and the options
// it keeps between runs. Each tab says once, as it builds itself, which sections it shows
// and which grid lists the records of each; the answers follow from that.

#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/PlugSection.h"
#include "widgets/ListEditor.h"
#include "widgets/WheelGuard.h"

class QTabWidget;

class TabForm : public QWidget {
  Q_OBJECT
 public:
  TabForm(pw::CodePlugDocument& document, QWidget* parent = nullptr) : QWidget(parent), doc(document) {}
  // With rebuild set the tab rebuilds its rows and controls from the image; without it
  // a list tab keeps its rows and only brings captions and command states up to date.
  // topRow > 0 scrolls a list to that row.
  virtual void refresh(bool rebuild, int topRow) = 0;

  // Whether the tab shows `section` (its settings or its records).
  bool shows(pw::PlugSection section) const;
  // Selects record `number` of `section` alone (numbered as the section numbers its
  // records), on the inner page it lies on, scrolled into view in its grid and focused;
  // returns where its row lies in the tab, for a window that shows only part of the tab.
  // Nothing, changing nothing, when the tab lists no such record.
  std::optional<QRect> showRecord(pw::PlugSection section, int number);

  // Where the user was: each grid's selection and scroll position, and the inner page.
  struct Place {
    std::vector<ListEditor::Place> grids;
    int page = -1;
  };
  Place place() const;
  // Back there after a rebuild, as far as the rows are still there.
  void returnTo(const Place& place);

  // A display option of the tab that the window keeps in its settings file between runs.
  struct Option {
    QString key;  // under the settings file's "Misc" section
    std::function<bool()> get;
    std::function<void(bool)> set;
  };
  const std::vector<Option>& options() const { return options_; }

 signals:
  // An action of this tab added records that other tabs list (an import that created
  // zones): they rebuild when next shown.
  void recordsAddedElsewhere();

 protected:
  // ---- said once by each tab as it builds itself ----
  // A grid that lists the records of `section`.
  struct RecordGrid {
    pw::PlugSection section;
    ListEditor* list;
    QWidget* page = nullptr;  // the page of the inner pages it lies on; null: none
    // The row of a record number; none: number 1 in row 0, number 2 in row 1, ...
    std::function<int(int number)> rowOf{};
  };
  void addRecordGrid(RecordGrid grid);
  // A block of settings the tab's controls show.
  void addSettingsBlock(pw::PlugSection section) { settings_.push_back(section); }
  // A grid that lists no section's records but whose place is kept too.
  void addKeptGrid(ListEditor* list) { kept_.push_back(list); }
  void setInnerPages(QTabWidget* pages) { pages_ = pages; }
  void addOption(Option option) { options_.push_back(std::move(option)); }

  // Every drop-down and spin box a tab shows takes the wheel only while focused.
  void showEvent(QShowEvent* event) override {
    pw::ui::guardWheel(this);
    QWidget::showEvent(event);
  }

  pw::CodePlugDocument& doc;

 private:
  const RecordGrid* gridOf(pw::PlugSection section) const;

  std::vector<RecordGrid> grids_;
  std::vector<pw::PlugSection> settings_;
  std::vector<ListEditor*> kept_;  // every grid whose place is kept, record grids included
  QTabWidget* pages_ = nullptr;
  std::vector<Option> options_;
};
