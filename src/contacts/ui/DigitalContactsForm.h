#pragma once
// The Digital Contacts tab: the contact list in the shared list editor, with its
// context menu, the Show "No" toggle, the search box and contact import and export.

#include <QString>
#include <functional>
#include <optional>

#include "contacts/ContactList.h"
#include "widgets/TabForm.h"

class ListEditor;
class QLabel;
class QPushButton;
class QToolButton;
class SearchEdit;
class UserDatabaseImportDialog;

class TDigitalContactsForm : public TabForm {
  Q_OBJECT
 public:
  // The filters of the import and export dialogs, in their order.
  enum FileFilter { TxtFilter, CsvFilter, AnyFilter };
  struct FileChoice {
    QString fileName;
    FileFilter filter = CsvFilter;
  };
  // Shows the open (save false) or save dialog: the chosen name and filter, or nothing.
  using FileDialog = std::function<std::optional<FileChoice>(bool save)>;
  // Runs the user database dialog: true for OK. And shows the report after an import.
  using DatabaseDialog = std::function<bool(UserDatabaseImportDialog& dialog)>;
  using Report = std::function<void(const QString& text)>;

  explicit TDigitalContactsForm(pw::CodePlugDocument& document, QWidget* parent = nullptr);
  void refresh(bool rebuild, int topRow) override;

  // The Show "No" option: whether an unset receive tone shows "No" or nothing.
  bool showNoRxTone() const { return showNoRxTone_; }
  void setShowNoRxTone(bool on);

  ListEditor* listEditor() const { return list_; }
  // Replaces the file dialogs (tests drive import and export without modal dialogs).
  void setFileDialog(FileDialog dialog) { fileDialog_ = std::move(dialog); }
  void setDatabaseDialog(DatabaseDialog dialog) { databaseDialog_ = std::move(dialog); }
  void setReport(Report report) { report_ = std::move(report); }
  // The name an export writes: the filter's extension is appended unless the name,
  // in lower case, already ends with it; "*.*" takes the name as typed.
  static QString exportFileName(const QString& name, FileFilter filter);

 private:
  void fill(int topRow);
  void updateFileCommands();
  void setSelectedCallType(int code);
  void setSelectedRxTone(bool on);
  void sortBy(pw::ContactSort key);
  std::optional<FileChoice> chooseFile(bool save);
  void ShowNoSpeedButtonClick(bool down);
  void ImportBitBtnClick();
  void importUserDatabase(const QString& fileName);
  void ExportBitBtnClick();
  void SearchEditSearch(const QString& text, bool byEnter);

  bool showNoRxTone_ = false;
  FileDialog fileDialog_;
  DatabaseDialog databaseDialog_;
  Report report_;
  ListEditor* list_ = nullptr;
  QLabel* TitleLabel = nullptr;
  QToolButton* ShowNoSpeedButton = nullptr;
  QPushButton* ImportBitBtn = nullptr;
  QPushButton* ExportBitBtn = nullptr;
  QLabel* SearchLabel = nullptr;
  SearchEdit* searchEdit_ = nullptr;
};
