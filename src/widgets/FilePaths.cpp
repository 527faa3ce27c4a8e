#include "widgets/FilePaths.h"

#include <QFile>

namespace pw::ui {

std::string stdPath(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }

QString qtPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace pw::ui
