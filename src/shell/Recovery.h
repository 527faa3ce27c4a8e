#pragma once
// Keeps unsaved edits safe from a crash or a power cut. While the code plug has unsaved
// changes its image is written, at most once per interval after a change, to a recovery
// file in the user's state folder ($XDG_STATE_HOME/plugwright/, else
// ~/.local/state/plugwright/). The files of one code plug are named after its canonical
// path (links resolved, as Save writes through them); beside the image a file says what
// the edits were made on: that path, and the file's size, time and a hash of its bytes as
// loaded.
//
// A window takes a lock beside the files before it writes them, so a running writer is
// told from a dead one (by its process, not by the age of the files). It removes only the
// files it wrote, once the changes are saved or discarded; when the file is opened again
// a dead writer's edits are offered back, a running one's are left alone.
//
// The write goes as the editor saves (a flushed temporary file renamed into place), so a
// recovery file is always whole; it runs on a thread of its own, so a slow disk never
// holds up typing. Writes and removals happen in the order they were asked for. A write
// that fails is said once a session, and the image it could not replace is kept only
// marked as older than the edits.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "codeplug/CodePlugDocument.h"

class QLockFile;

// Edits kept of a code plug file that cannot be found any more.
struct Leftover {
  QString key;     // names its files in the state folder
  QString path;    // the file the edits were made on
  QDateTime time;  // when they were kept
};

class RecoveryService : public QObject {
  Q_OBJECT
 public:
  static constexpr int kDefaultInterval = 30000;  // ms
  // Tests shorten the interval with this variable (milliseconds).
  static constexpr const char* kIntervalVariable = "PLUGWRIGHT_RECOVERY_INTERVAL_MS";

  // First of all, what killed writers left half-written in the state folder goes.
  explicit RecoveryService(const pw::CodePlugDocument& doc, QObject* parent = nullptr);
  ~RecoveryService() override;  // finishes the writes and removals already asked for

  static QString folder();
  // The recovery image of the code plug file `path`, and the file saying what it was made on.
  static QString imagePath(const QString& path);
  static QString metaPath(const QString& path);
  // How recovery files are written (tests inject failures); null restores the real writer.
  // Set before the first change.
  void setFileWriter(pw::FileWriter* writer) { fileWriter_ = writer; }

  // The image changed: it is written within the interval, unless by then it equals the file.
  void changed();
  // The changes to `path` were saved or discarded: the recovery files this window wrote of
  // it go (another window's stay).
  void discard(const QString& path);
  // The document has just loaded its file. Edits a dead writer kept of it are offered back
  // through the document's prompt: their image when the user takes them (declined, they
  // go). Edits a running editor keeps of it are not: the user is told the file is open
  // with unsaved changes elsewhere.
  std::optional<std::vector<std::uint8_t>> offerBack();
  // Edits kept of code plug files that cannot be found any more, but a running editor's.
  std::vector<Leftover> leftovers();
  // Saves a leftover's edits as the code plug file `target`, as Save writes one (failures
  // are said through the prompt); its recovery files go once it is saved.
  bool save(const Leftover& leftover, const QString& target);
  void remove(const Leftover& leftover);
  // Blocks until every write and removal asked for has happened.
  void waitForWrites();

 private:
  struct Snapshot;
  void writeNow();
  std::optional<QString> write(const Snapshot& s);  // on the writer's thread; what failed
  void drop(const QString& key);
  void warnOnce(const QString& failure);
  void removeStaleTemporaries();
  QString canonicalOf(const QString& path);
  QString keyOf(const QString& path);

  const pw::CodePlugDocument& doc_;
  QTimer timer_;
  QThreadPool writer_;
  pw::FileWriter* fileWriter_ = nullptr;
  // The locks of the files this window writes. Touched on the writer's thread, or on the
  // window's once the writes asked for are done.
  std::map<QString, std::shared_ptr<QLockFile>> held_;
  // The canonical path each name had when it last could be resolved: a file deleted
  // meanwhile keeps its recovery files.
  std::map<QString, QString> canonical_;
  bool warned_ = false;
};
