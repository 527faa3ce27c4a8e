#pragma once
// File names between the window and the model: the model takes a path as the bytes the
// system knows it by (std::string), the window shows it as text (QString). Every crossing
// goes through these, so a name in the machine's own encoding survives the round trip.

#include <QString>
#include <string>

namespace pw::ui {

std::string stdPath(const QString& fileName);
QString qtPath(const std::string& path);

}  // namespace pw::ui
