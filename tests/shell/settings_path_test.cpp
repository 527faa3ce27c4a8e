#include "shell/Settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A build folder keeps the settings beside the program; an installed program's bin folder
// never gets one, even where it could be written (root and /usr/bin, or ~/.local/bin).
TEST(SettingsPath, BesideABuiltProgramButNeverInABinFolder) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  QDir(root.path()).mkpath(QStringLiteral("build"));
  QDir(root.path()).mkpath(QStringLiteral("bin"));
  EXPECT_EQ(settingsFilePath(root.filePath(QStringLiteral("build/plugwright"))),
            root.filePath(QStringLiteral("build/plugwright.ini")));
  const QString installed = settingsFilePath(root.filePath(QStringLiteral("bin/plugwright")));
  EXPECT_FALSE(installed.startsWith(root.path())) << installed.toStdString();
  EXPECT_TRUE(installed.endsWith(QStringLiteral("/plugwright.ini"))) << installed.toStdString();
}
