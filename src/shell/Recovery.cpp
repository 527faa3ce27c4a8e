#include "shell/Recovery.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <set>
#include <utility>

#include "codeplug/FileWriter.h"
#include "codeplug/Layout.h"
#include "widgets/FilePaths.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A window that finds the lock free just after another let go of it, or while a starting
// window looks at it, waits this long (on the writer's thread) before giving up.
constexpr int kLockWait = 500;  // ms

int interval() {
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue(RecoveryService::kIntervalVariable, &ok);
  return ok && ms > 0 ? ms : RecoveryService::kDefaultInterval;
}

// Message texts are 8-bit, one byte per character.
std::string message(const QString& text) { return text.toLatin1().toStdString(); }
QString timeText(const QDateTime& t) { return QLocale().toString(t, QLocale::ShortFormat); }

QString canonicalOrAbsolute(const QString& path) {
  const QFileInfo file(path);
  const QString canonical = file.canonicalFilePath();
  return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}

// The recovery files of one code plug file are named after its canonical path's hash.
QString keyFor(const QString& canonical) {
  return QString::fromLatin1(
      QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha1).toHex());
}

// The files of one code plug in the state folder.
struct Files {
  explicit Files(const QString& key)
      : image(in(key + QStringLiteral(".rdt"))),
        older(in(key + QStringLiteral(".older.rdt"))),
        meta(in(key + QStringLiteral(".path"))),
        lock(in(key + QStringLiteral(".lock"))) {}
  QString image;
  QString older;  // an image a failed write could not replace: the last edits are missing
  QString meta;
  QString lock;
  // The image to offer: the latest, else one older than the edits; empty for none.
  QString kept() const {
    return QFileInfo(image).isFile() ? image : QFileInfo(older).isFile() ? older : QString();
  }

 private:
  static QString in(const QString& name) { return RecoveryService::folder() + QLatin1Char('/') + name; }
};

// Every key with a file in the state folder.
std::set<QString> keysInFolder() {
  static const QRegularExpression kKey(QStringLiteral("^([0-9a-f]{40})\\."));
  std::set<QString> keys;
  for (const QString& name : QDir(RecoveryService::folder()).entryList(QDir::Files | QDir::Hidden)) {
    const QRegularExpressionMatch m = kKey.match(name);
    if (m.hasMatch()) keys.insert(m.captured(1));
  }
  return keys;
}

std::shared_ptr<QLockFile> lockFor(const Files& f) {
  auto lock = std::make_shared<QLockFile>(f.lock);
  lock->setStaleLockTime(0);  // stale only when its process is gone, however old
  return lock;
}

// Whether a running editor holds the lock; takes it for the caller otherwise (when it can).
bool heldElsewhere(QLockFile& lock, int wait = 0) {
  return !lock.tryLock(wait) && lock.error() == QLockFile::LockFailedError;
}

// What the edits were made on: the code plug file as it was loaded.
struct Meta {
  QString path;
  qint64 size = -1;
  qint64 modified = -1;  // ms since the epoch
  QByteArray sha256;     // hex; empty in files from before it was kept
  bool suffixCrcFollows = false;
};

QByteArray sha256(const Bytes& bytes) {
  return QCryptographicHash::hash(
             QByteArrayView(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())),
             QCryptographicHash::Sha256)
      .toHex();
}

// The path on the first line (as files from before held only it), then a value a line.
QByteArray metaText(const Meta& m) {
  return QFile::encodeName(m.path) + "\nsize " + QByteArray::number(m.size) + "\nmodified " +
         QByteArray::number(m.modified) + "\nsha256 " + m.sha256 + "\nsuffix_crc " +
         (m.suffixCrcFollows ? "follows" : "kept") + "\n";
}

Meta readMeta(const QString& file) {
  QFile f(file);
  Meta m;
  if (!QFileInfo(f).isFile() || !f.open(QIODevice::ReadOnly)) return m;
  const QList<QByteArray> lines = f.read(64 << 10).split('\n');
  m.path = QFile::decodeName(lines.value(0));
  for (const QByteArray& line : lines.mid(1)) {
    const QByteArray key = line.left(line.indexOf(' ')), value = line.mid(key.size() + 1);
    if (key == "size") m.size = value.toLongLong();
    if (key == "modified") m.modified = value.toLongLong();
    if (key == "sha256") m.sha256 = value;
    if (key == "suffix_crc") m.suffixCrcFollows = value == "follows";
  }
  return m;
}

Bytes readImage(const QString& file) {
  QFile f(file);
  // Only a regular file, and never more than one byte beyond a code plug's size.
  if (!QFileInfo(f).isFile() || !f.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = f.read(qint64(pw::kRdtFileSize) + 1);
  return {bytes.begin(), bytes.end()};
}

std::span<const std::uint8_t> bytesOf(const QByteArray& b) {
  return {reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())};
}

QString reason(int error) { return error ? qt_error_string(error) : QStringLiteral("cannot be written"); }

// The state folder holds code plugs, passwords and all: only its owner may look in.
// Empty, or why it cannot be made.
QString makeFolder(const QString& folder) {
  const QFileInfo info(folder);
  if (info.isDir()) return {};
  if (info.exists()) return reason(ENOTDIR);
  errno = 0;
  if (!QDir().mkpath(folder)) return reason(errno);
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return {};
}

// The image a write could not replace is no longer the last: it is kept under a name that
// says so, or removed when even that fails.
void keepAsOlder(const Files& f) {
  if (!QFileInfo::exists(f.image)) return;
  if (std::rename(QFile::encodeName(f.image).constData(), QFile::encodeName(f.older).constData()) != 0)
    QFile::remove(f.image);
}

void removeFiles(const Files& f) {
  QFile::remove(f.image);
  QFile::remove(f.older);
  QFile::remove(f.meta);
}

}  // namespace

// What a write needs, taken on the window's thread.
struct RecoveryService::Snapshot {
  QString key;
  QString path;  // as the window names it
  Meta meta;
  Bytes image;
};

RecoveryService::RecoveryService(const pw::CodePlugDocument& doc, QObject* parent)
    : QObject(parent), doc_(doc) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &RecoveryService::writeNow);
  writer_.setMaxThreadCount(1);  // one after the other, in the order asked for
  writer_.setExpiryTimeout(-1);
  writer_.start([this] { removeStaleTemporaries(); });
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
  return Files(keyFor(canonicalOrAbsolute(path))).image;
}

QString RecoveryService::metaPath(const QString& path) {
  return Files(keyFor(canonicalOrAbsolute(path))).meta;
}

QString RecoveryService::canonicalOf(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  if (!canonical.isEmpty()) canonical_[path] = canonical;
  const auto known = canonical_.find(path);
  return known != canonical_.end() ? known->second : QFileInfo(path).absoluteFilePath();
}

QString RecoveryService::keyOf(const QString& path) { return keyFor(canonicalOf(path)); }

// At most one write per interval: a change while one is due waits for it.
void RecoveryService::changed() {
  if (!timer_.isActive()) timer_.start(interval());
}

void RecoveryService::writeNow() {
  if (!doc_.hasImage() || doc_.fileName.empty()) return;
  const QString path = pw::ui::qtPath(doc_.fileName);
  if (!doc_.isModified()) {
    discard(path);  // undone back to the file: nothing left to lose
    return;
  }
  const QString canonical = canonicalOf(path);
  Snapshot s{.key = keyFor(canonical),
             .path = path,
             .meta = {.path = canonical,
                      .size = qint64(doc_.referenceImage.size()),
                      .modified = QFileInfo(path).lastModified().toMSecsSinceEpoch(),
                      .sha256 = sha256(doc_.referenceImage),
                      .suffixCrcFollows = doc_.savesSuffixCrc()},
             .image = doc_.workingImage};
  writer_.start([this, s = std::move(s)] {
    if (const auto failure = write(s))
      QMetaObject::invokeMethod(
          this, [this, text = *failure] { warnOnce(text); }, Qt::QueuedConnection);
  });
}

std::optional<QString> RecoveryService::write(const Snapshot& s) {
  const Files f(s.key);
  if (!held_.count(s.key)) {
    if (const QString why = makeFolder(folder()); !why.isEmpty())
      return folder() + QStringLiteral(": ") + why;
    const auto lock = lockFor(f);
    if (heldElsewhere(*lock, kLockWait))
      return s.path + QStringLiteral(": it is open with unsaved changes in another window");
    if (!lock->isLocked())
      return f.lock + QStringLiteral(": ") +
             (lock->error() == QLockFile::PermissionError ? reason(EACCES)
                                                          : QStringLiteral("cannot be locked"));
    held_[s.key] = lock;
  }
  pw::FileWriter& writer = fileWriter_ ? *fileWriter_ : pw::defaultFileWriter();
  // The description first: an image is never there without what it was made on.
  const QString* failed = nullptr;
  if (writer.writeFile(pw::ui::stdPath(f.meta), bytesOf(metaText(s.meta))) != pw::WriteResult::Ok)
    failed = &f.meta;
  else if (writer.writeFile(pw::ui::stdPath(f.image), s.image) != pw::WriteResult::Ok)
    failed = &f.image;
  if (failed) {
    const int error = errno;
    keepAsOlder(f);
    return *failed + QStringLiteral(": ") + reason(error);
  }
  QFile::remove(f.older);
  return std::nullopt;
}

void RecoveryService::warnOnce(const QString& failure) {
  if (std::exchange(warned_, true)) return;
  doc_.prompt().inform("Warning",
                       message(QStringLiteral("Unsaved changes cannot be kept for recovery: ") + failure));
}

void RecoveryService::discard(const QString& path) {
  if (path == pw::ui::qtPath(doc_.fileName)) timer_.stop();
  const QString key = keyOf(path);
  writer_.start([this, key] {
    if (held_.count(key)) drop(key);
  });
}

// Removes the files of `key`, then lets go of its lock: no other window writes them in between.
void RecoveryService::drop(const QString& key) {
  removeFiles(Files(key));
  if (const auto held = held_.find(key); held != held_.end()) {
    held->second->unlock();
    held_.erase(held);
  }
}

std::optional<Bytes> RecoveryService::offerBack() {
  writer_.waitForDone();  // a removal or write asked for before counts
  const QString path = pw::ui::qtPath(doc_.fileName);
  const QString key = keyOf(path);
  const Files f(key);
  const QString kept = f.kept();
  if (kept.isEmpty()) return std::nullopt;
  if (!held_.count(key)) {
    const auto lock = lockFor(f);
    if (heldElsewhere(*lock)) {
      doc_.prompt().inform(
          "Warning",
          message(path +
                  QStringLiteral(" is already open with unsaved changes in another window.\n\n"
                                 "This window shows the file as saved, without those changes. Whichever "
                                 "window saves last replaces what the other saved.")));
      return std::nullopt;
    }
    // A folder that takes no lock has no writer to tell apart: the edits are a dead one's.
    if (lock->isLocked()) held_[key] = lock;
  }
  const QFileInfo keptInfo(kept);
  QString from = path + QStringLiteral(" has unsaved changes from ") + timeText(keptInfo.lastModified());
  Bytes image = readImage(kept);
  if (const int code = pw::checkRdtFile(image)) {
    writer_.start([this, key] { drop(key); });
    doc_.prompt().error(message(from + QStringLiteral(" that cannot be restored (") +
                                QString::fromLatin1(pw::loadMessage(code)) +
                                QStringLiteral(").\n\nThey have been removed.")));
    return std::nullopt;
  }
  const Meta meta = readMeta(f.meta);
  // Edits made on other bytes than the file now holds (a backup put back, another plug
  // moved over it); a file only touched is still the one they were made on.
  const bool fileChanged = meta.sha256.isEmpty() ? keptInfo.lastModified() <= QFileInfo(path).lastModified()
                                                 : meta.size != qint64(doc_.referenceImage.size()) ||
                                                       meta.sha256 != sha256(doc_.referenceImage);
  if (fileChanged) {
    // A file moved or copied over keeps an old modification time; its change time is when it came.
    const QFileInfo file(path);
    from += QStringLiteral(", made before the file was changed on ") +
            timeText(std::max(file.lastModified(), file.metadataChangeTime()));
  }
  if (kept == f.older) from += QStringLiteral(". Changes made after those could not be kept");
  if (doc_.prompt().question(message(from + QStringLiteral(".\n\nRestore them ?")), false) !=
      pw::Answer::Yes) {
    writer_.start([this, key] { drop(key); });
    return std::nullopt;
  }
  changed();  // written again soon, as made on the file as it is now
  return image;
}

std::vector<Leftover> RecoveryService::leftovers() {
  writer_.waitForDone();
  std::vector<Leftover> found;
  for (const QString& key : keysInFolder()) {
    const Files f(key);
    const QString kept = f.kept();
    if (held_.count(key) || kept.isEmpty()) continue;
    const Meta meta = readMeta(f.meta);
    if (meta.path.isEmpty() || QFileInfo::exists(meta.path)) continue;
    if (heldElsewhere(*lockFor(f))) continue;  // the file went while a window still edits it
    found.push_back({key, meta.path, QFileInfo(kept).lastModified()});
  }
  std::sort(found.begin(), found.end(), [](const Leftover& a, const Leftover& b) { return a.path < b.path; });
  return found;
}

bool RecoveryService::save(const Leftover& leftover, const QString& target) {
  const Files f(leftover.key);
  Bytes image = readImage(f.kept());
  if (const int code = pw::checkRdtFile(image)) {
    doc_.prompt().error(message(leftover.path + QStringLiteral(": the unsaved changes cannot be restored (") +
                                QString::fromLatin1(pw::loadMessage(code)) + QStringLiteral(").")));
    return false;
  }
  // Saved as the window would have saved it: a CRC that matched the file follows the bytes.
  pw::CodePlugDocument copy(&doc_.prompt());
  copy.setFileWriter(fileWriter_);
  copy.adoptImage(std::move(image), readMeta(f.meta).suffixCrcFollows);
  if (copy.saveCodePlug(pw::ui::stdPath(target)) != pw::kSaveOk) return false;
  remove(leftover);
  return true;
}

void RecoveryService::remove(const Leftover& leftover) {
  writer_.start([key = leftover.key] { removeFiles(Files(key)); });
}

// A writer killed mid-write leaves its temporary file (the name of the file plus six
// letters). Only those of files no running editor writes go; so do descriptions whose
// image is gone.
void RecoveryService::removeStaleTemporaries() {
  const QDir dir(folder());
  for (const QString& key : keysInFolder()) {
    const Files f(key);
    QLockFile lock(f.lock);
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) continue;
    const QRegularExpression temporary(QStringLiteral("^%1\\.(rdt|path)\\.[A-Za-z0-9]{6}$").arg(key));
    for (const QString& name : dir.entryList({key + QStringLiteral(".*")}, QDir::Files | QDir::Hidden))
      if (temporary.match(name).hasMatch()) QFile::remove(dir.filePath(name));
    if (f.kept().isEmpty()) QFile::remove(f.meta);
  }  // the lock goes with its file
}

void RecoveryService::waitForWrites() { writer_.waitForDone(); }
