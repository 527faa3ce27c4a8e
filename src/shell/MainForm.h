#pragma once
// The main window: owns the one code plug document, the fourteen tab forms, the
// file commands with their unsaved-changes questions, and the settings file.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/PlugSection.h"
#include "shell/WindowPlacement.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QtPrompt;
class CompareDialog;
class EditSteps;
class FindingsView;
class LeftoverEditsDialog;
class RecoveryService;
class TabForm;

// What start-up takes from outside and what tests replace: each left empty means the real thing.
struct TMainFormHooks {
  // A file named on the command line: opened at start-up, with messages, instead of the
  // settings file's last file. A relative name counts from the current folder.
  QString fileToOpen;
  pw::Prompt* prompt = nullptr;  // null: message boxes
  QString settingsPath;          // empty: settingsFilePath()
  // Shows the open (save = false) or save dialog starting in `folder`; returns the
  // chosen name or an empty string for Cancel. Compare asks with the open dialog too.
  std::function<QString(bool save, const QString& folder)> chooseFile;
  std::function<pw::ScreenMetrics()> screens;  // the desktop the window is placed on
  // The wizard's file dialogs (see CodePlugWizard::ChooseFile).
  std::function<QString(bool save, const QString& title, const QString& filter)> chooseWizardFile;
};

class TMainForm : public QWidget {
  Q_OBJECT
public:
  static constexpr int kTabCount = 14;
  static constexpr int kDesignPageIndex = 10;  // "  Scan Lists  "

  explicit TMainForm(QWidget* parent = nullptr);
  explicit TMainForm(TMainFormHooks hooks, QWidget* parent = nullptr);
  ~TMainForm() override;

  pw::CodePlugDocument& document() { return doc; }
  TabForm* tabForm(int index) const { return forms[index]; }
  const QString& settingsPath() const { return settingsPath_; }
  const QString& dialogFolder() const { return dialogFolder_; }
  RecoveryService& recovery() const { return *recovery_; }
  // Shows record `number` of a section in its tab, selected and scrolled into view (only
  // the tab when it lists no such record).
  void showRecord(pw::PlugSection section, int number);

 public slots:
  void UndoBitBtnClick();
  void RedoBitBtnClick();
  void CheckBitBtnClick();
  void CompareBitBtnClick();
  void OpenBitBtnClick();
  void ReloadBitBtnClick();
  void SaveBitBtnClick();
  void SaveAsBitBtnClick();
  void WizardBitBtnClick();
  void PageControlChange(int index);

protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void startUp();
  void loadAtStartUp();
  void buildTopPanel();
  void createTabForms();
  void readSettings();
  void writeSettings();
  void refreshAllTabs();
  void showFileName();
  void enableFileCommands();
  void enableUndoCommands();
  void addShortcuts();
  void showRestoredImage();
  void afterEdit(bool typing);
  void showCheckCount(int count);
  void fitPagesToPanel(bool panelShown);
  void offerRecovery();
  void listLeftovers();
  int tabOf(pw::PlugSection section) const;
  QString chooseFile(bool save, const QString& title = {});
  pw::ScreenMetrics screenMetrics() const;
  void placeWithin(pw::Rect proposed);
  void keepPlaced();

  TMainFormHooks hooks_;
  std::unique_ptr<QtPrompt> qtPrompt_;
  pw::CodePlugDocument doc;
  QString settingsPath_;
  QString dialogFolder_;
  // The settings file's last file, kept there while the file named on the command line
  // has not loaded (empty when no file was named).
  QString keptLastFile_;
  bool placing_ = false;

  QPushButton* NewBitBtn = nullptr;
  QPushButton* OpenBitBtn = nullptr;
  QPushButton* ReloadBitBtn = nullptr;
  QPushButton* SaveBitBtn = nullptr;
  QPushButton* SaveAsBitBtn = nullptr;
  QPushButton* WizardBitBtn = nullptr;
  QPushButton* UndoBitBtn = nullptr;
  QPushButton* RedoBitBtn = nullptr;
  QPushButton* CheckBitBtn = nullptr;
  QPushButton* CompareBitBtn = nullptr;
  QLabel* FilenameLabel = nullptr;
  QTabWidget* PageControl = nullptr;
  QSplitter* tabsAndFindings_ = nullptr;
  FindingsView* findings_ = nullptr;
  RecoveryService* recovery_ = nullptr;
  QPointer<CompareDialog> compare_;
  QPointer<LeftoverEditsDialog> leftovers_;
  std::array<TabForm*, kTabCount> forms{};
  std::array<QScrollArea*, kTabCount> pageAreas_{};  // each tab scrolls in its page
  EditSteps* editSteps_ = nullptr;
  std::array<bool, kTabCount> stale_{};  // tabs to rebuild when next shown (after an undo, an import)
};
