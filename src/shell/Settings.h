#pragma once
// The settings file: where it lives and typed reads that fall back to a default.

#include <QSettings>
#include <QString>

// The program's own path with its extension replaced by ".ini". For an installed copy (in a
// bin folder) or one whose folder cannot be written, the same file name in the per-user
// configuration folder, so that the settings still persist between runs.
QString settingsFilePath();
QString settingsFilePath(const QString& programPath);

// Each returns `fallback` when the key is missing or its value is not of the type.
int readSettingInt(const QSettings& s, const QString& key, int fallback);
QString readSettingText(const QSettings& s, const QString& key, const QString& fallback);
// Only the words this program writes count ("true"/"false", also "1"/"0"): QSettings
// itself would read any other word, "no" included, as true.
bool readSettingBool(const QSettings& s, const QString& key, bool fallback);
