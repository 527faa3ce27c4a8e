#pragma once
// The Wizard button's dialog: a working code plug for an area from the public repeater and
// talkgroup lists. Its pages make a plan (wizard/WizardPlan.h): the lists, the area, the
// talkgroups per slot, the layout, then a preview of what generating would do. "Save
// Plan..." on the last page writes the plan file; the first page can open one instead and
// go straight to the preview. Finish accepts; the caller generates (one undo step). Cancel
// writes nothing.

#include <QString>
#include <QWizard>
#include <functional>

#include "codeplug/CodePlugDocument.h"
#include "wizard/Generate.h"
#include "wizard/WizardPlan.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

class CodePlugWizard : public QWizard {
  Q_OBJECT
 public:
  enum Page { SourcesPage, AreaPage, TalkgroupsPage, LayoutPage, PreviewPage };
  // Shows the open (save = false) or save dialog; an empty string for Cancel.
  using ChooseFile = std::function<QString(bool save, const QString& title, const QString& filter)>;

  CodePlugWizard(const pw::CodePlugDocument& doc, pw::Prompt& prompt, ChooseFile chooseFile = {},
                 QWidget* parent = nullptr);

  // The plan as the pages make it, and the lists it was read with.
  const pw::wizard::WizardPlan& plan() const { return plan_; }
  const pw::wizard::Sources& sources() const { return sources_; }
  // What the preview shows (the document untouched).
  const pw::exchange::Report& preview() const { return preview_; }
  // How many repeaters the area page's choices take.
  int areaCount() const { return areaCount_; }

  int nextId() const override;

 public slots:
  void RepeaterBrowseBitBtnClick();
  void TalkgroupBrowseBitBtnClick();
  void OpenPlanBitBtnClick();
  void SavePlanBitBtnClick();

 protected:
  void initializePage(int id) override;
  bool validateCurrentPage() override;

 private:
  QWizardPage* buildSourcesPage();
  QWizardPage* buildAreaPage();
  QWizardPage* buildTalkgroupsPage();
  QWizardPage* buildLayoutPage();
  QWizardPage* buildPreviewPage();

  bool readLists();
  void fillAreaLists();
  void fillTalkgroupList();
  void showPlan();  // the controls from plan_
  void takeArea();  // plan_ from the area page's controls
  void takeLayout();
  void updateAreaCount();
  void showSets();
  void showSetSlots();
  void addToSlot(int slot);
  void showPreview();
  QString choose(bool save, const QString& title, const QString& filter);

  const pw::CodePlugDocument& doc_;
  pw::Prompt& prompt_;
  ChooseFile chooseFile_;
  pw::wizard::WizardPlan plan_;
  pw::wizard::Sources sources_;
  std::string readRepeaters_, readTalkgroups_;  // the files sources_ holds
  pw::exchange::Report preview_;
  int areaCount_ = 0;
  bool straightToPreview_ = false;
  bool filling_ = false;

  QLineEdit* RepeaterFileEdit = nullptr;
  QLineEdit* TalkgroupFileEdit = nullptr;
  QLabel* SourceStatusLabel = nullptr;
  QListWidget* CountryList = nullptr;
  QListWidget* StateList = nullptr;
  QListWidget* CityList = nullptr;
  QLineEdit* AreaFilterEdit = nullptr;
  QCheckBox* NearCheckBox = nullptr;
  QLineEdit* LocatorEdit = nullptr;
  QDoubleSpinBox* RadiusSpinBox = nullptr;
  QCheckBox* IncludeInactiveCheckBox = nullptr;
  QLabel* AreaCountLabel = nullptr;
  QLineEdit* TalkgroupSearchEdit = nullptr;
  QListWidget* TalkgroupList = nullptr;
  QComboBox* NetworkComboBox = nullptr;
  QListWidget* SetList = nullptr;
  QListWidget* Slot1List = nullptr;
  QListWidget* Slot2List = nullptr;
  QComboBox* ChannelsComboBox = nullptr;
  QComboBox* ZonesComboBox = nullptr;
  QCheckBox* ScanListsCheckBox = nullptr;
  QComboBox* OrderComboBox = nullptr;
  QComboBox* StartComboBox = nullptr;
  QLineEdit* RadioIdEdit = nullptr;
  QLineEdit* RadioNameEdit = nullptr;
  QLabel* PreviewSummaryLabel = nullptr;
  QPlainTextEdit* PreviewText = nullptr;
};
