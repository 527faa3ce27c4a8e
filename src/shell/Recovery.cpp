#include "shell/Recovery.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "codeplug/FileWriter.h"
#include "codeplug/Layout.h"

namespace {

int interval() {
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue(RecoveryService::kIntervalVariable, &ok);
  return ok && ms > 0 ? ms : RecoveryService::kDefaultInterval;
}

// The recovery files of one code plug file are named after its path's hash.
QString baseName(const QString& path) {
  return QString::fromLatin1(
      QCryptographicHash::hash(QFile::encodeName(path), QCryptographicHash::Sha1).toHex());
}

std::span<const std::uint8_t> bytesOf(const QByteArray& b) {
  return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}

// The state folder holds code plugs, passwords and all: only its owner may look in.
bool makeFolder(const QString& folder) {
  if (QFileInfo(folder).isDir()) return true;
  if (!QDir().mkpath(folder)) return false;
  return QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

RecoveryService::RecoveryService(const pw::CodePlugDocument& doc, QObject* parent)
    : QObject(parent), doc_(doc) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &RecoveryService::writeNow);
  writer_.setMaxThreadCount(1);  // one after the other, in the order asked for
  writer_.setExpiryTimeout(-1);
}

RecoveryService::~RecoveryService() { writer_.waitForDone(); }

QString RecoveryService::folder() {
  // As the base directory specification says: a relative value is ignored.
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (state.isEmpty() || QDir::isRelativePath(state))
    state = QDir::homePath() + QStringLiteral("/.local/state");
  return state + QStringLiteral("/plugwright");
}

QString RecoveryService::imagePath(const QString& path) {
  return folder() + QLatin1Char('/') + baseName(path) + QStringLiteral(".rdt");
}

QString RecoveryService::pathFilePath(const QString& path) {
  return folder() + QLatin1Char('/') + baseName(path) + QStringLiteral(".path");
}

// At most one write per interval: a change while one is due waits for it.
void RecoveryService::changed() {
  if (!timer_.isActive()) timer_.start(interval());
}

void RecoveryService::writeNow() {
  if (!doc_.hasImage() || doc_.fileName.empty()) return;
  const QString path = QFile::decodeName(QByteArray::fromStdString(doc_.fileName));
  if (!doc_.isModified()) {
    discard(path);  // undone back to the file: nothing left to lose
    return;
  }
  writer_.start([image = doc_.workingImage, path, folder = folder(), imageFile = imagePath(path),
                 pathFile = pathFilePath(path)] {
    if (!makeFolder(folder)) return;
    // The path first: an image is never there without the name of its file.
    const QByteArray name = QFile::encodeName(path) + '\n';
    if (pw::defaultFileWriter().writeFile(QFile::encodeName(pathFile).toStdString(), bytesOf(name)) !=
        pw::WriteResult::Ok)
      return;
    pw::defaultFileWriter().writeFile(QFile::encodeName(imageFile).toStdString(), image);
  });
}

void RecoveryService::discard(const QString& path) {
  if (path == QFile::decodeName(QByteArray::fromStdString(doc_.fileName))) timer_.stop();
  writer_.start([imageFile = imagePath(path), pathFile = pathFilePath(path)] {
    QFile::remove(imageFile);
    QFile::remove(pathFile);
  });
}

std::optional<QDateTime> RecoveryService::pending(const QString& path) {
  writer_.waitForDone();  // a removal or write asked for before counts
  const QFileInfo recovery(imagePath(path));
  if (!recovery.exists()) return std::nullopt;
  if (recovery.lastModified() > QFileInfo(path).lastModified()) return recovery.lastModified();
  discard(path);
  return std::nullopt;
}

std::vector<std::uint8_t> RecoveryService::read(const QString& path) {
  QFile f(imagePath(path));
  // Only a regular file, and never more than one byte beyond a code plug's size.
  if (!QFileInfo(f).isFile() || !f.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = f.read(qint64(pw::kRdtFileSize) + 1);
  return {bytes.begin(), bytes.end()};
}

void RecoveryService::waitForWrites() { writer_.waitForDone(); }
