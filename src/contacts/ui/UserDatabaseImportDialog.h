#pragma once
// Picks the rows of a DMR user database to import as contacts: radio-ID prefixes, countries
// and callsign prefixes, with the outcome (rows matching, to add, present, not fitting,
// malformed, contacts free) shown as the filters change. It only chooses; the tab imports.

#include <QDialog>
#include <QString>

#include "codeplug/CodePlugDocument.h"
#include "exchange/UserDatabase.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

class UserDatabaseImportDialog : public QDialog {
  Q_OBJECT
 public:
  UserDatabaseImportDialog(const pw::CodePlugDocument& doc, const pw::exchange::Database& db,
                           const QString& fileName, QWidget* parent = nullptr);

  pw::exchange::Filter filter() const;
  // What OK imports with the filters as they stand.
  const pw::exchange::DatabasePlan& plan() const { return plan_; }

  // Reads a database file on the window's own thread, letting events through; a read that
  // lasts longer than 0.3 s shows a progress bar whose Cancel stops it (status Cancelled).
  static pw::exchange::ReadStatus readWithProgress(QWidget* parent, const QString& fileName,
                                                   pw::exchange::Database& db);

 private:
  void updatePlan();

  const pw::CodePlugDocument& doc_;
  const pw::exchange::Database& db_;
  pw::exchange::DatabasePlan plan_;
  QLineEdit* idPrefixes_ = nullptr;
  QLineEdit* callsignPrefixes_ = nullptr;
  QListWidget* countries_ = nullptr;
  QLabel* summary_ = nullptr;
  QPlainTextEdit* malformed_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};
