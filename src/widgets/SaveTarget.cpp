#include "widgets/SaveTarget.h"

#include <QFileInfo>

QString saveTarget(pw::Prompt& prompt, QString name, const QString& extension) {
  if (!name.toLower().endsWith(extension)) name += extension;
  const QFileInfo target(name);
  if (target.exists()) {
    const QString text = target.absoluteFilePath() + QStringLiteral(" already exists.\n\nReplace it ?");
    // Message texts are 8-bit, one byte per character.
    if (prompt.question(text.toLatin1().toStdString(), false) != pw::Answer::Yes) return {};
  }
  return name;
}
