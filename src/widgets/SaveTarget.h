#pragma once
// The file a save-type command writes, as Save As settles it: the extension is added when
// the name lacks it, and a file that exists already is replaced only when the user says
// Yes (asked about the name that will really be written, not the one typed).

#include <QString>

#include "codeplug/Prompt.h"

// The name to write, or an empty text when the user keeps the existing file.
QString saveTarget(pw::Prompt& prompt, QString name, const QString& extension);
