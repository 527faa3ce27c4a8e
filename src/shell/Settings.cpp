#include "shell/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

QString settingsFilePath() { return settingsFilePath(QCoreApplication::applicationFilePath()); }

QString settingsFilePath(const QString& programPath) {
  const QFileInfo program(programPath);
  const QString fileName = program.completeBaseName() + QStringLiteral(".ini");
  const QFileInfo folder(program.absolutePath());
  // An installed program is shared: root may write /usr/bin, but a settings file there would
  // outlive the package.
  const bool installed = folder.fileName() == QLatin1String("bin");
  if (!installed && folder.isDir() && folder.isWritable()) return QDir(program.absolutePath()).filePath(fileName);
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(fileName);
}

int readSettingInt(const QSettings& s, const QString& key, int fallback) {
  bool ok = false;
  const int v = s.value(key).toString().trimmed().toInt(&ok);
  return ok ? v : fallback;
}

QString readSettingText(const QSettings& s, const QString& key, const QString& fallback) {
  const QVariant v = s.value(key);
  if (!v.isValid()) return fallback;
  // An unquoted value with commas comes back as a list; a file name may hold commas.
  if (v.userType() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
  return v.toString();
}

bool readSettingBool(const QSettings& s, const QString& key, bool fallback) {
  const QString v = s.value(key).toString().trimmed().toLower();
  if (v == QLatin1String("true") || v == QLatin1String("1")) return true;
  if (v == QLatin1String("false") || v == QLatin1String("0")) return false;
  return fallback;
}
