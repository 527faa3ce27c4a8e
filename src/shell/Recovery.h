#pragma once
// Keeps unsaved edits safe from a crash or a power cut. While the code plug has unsaved
// changes its image is written, at most once per interval after a change, to a recovery
// file in the user's state folder ($XDG_STATE_HOME/plugwright/, else
// ~/.local/state/plugwright/), with the path of the file it belongs to in a file beside
// it. The window removes it once the changes are saved or discarded, and offers it back
// when that file is opened again.
//
// The write goes as the editor saves (a flushed temporary file renamed into place), so a
// recovery file is always whole; it runs on a thread of its own, so a slow disk never
// holds up typing. Writes and removals happen in the order they were asked for.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <vector>

#include "codeplug/CodePlugDocument.h"

class RecoveryService : public QObject {
  Q_OBJECT
 public:
  static constexpr int kDefaultInterval = 30000;  // ms
  // Tests shorten the interval with this variable (milliseconds).
  static constexpr const char* kIntervalVariable = "PLUGWRIGHT_RECOVERY_INTERVAL_MS";

  explicit RecoveryService(const pw::CodePlugDocument& doc, QObject* parent = nullptr);
  ~RecoveryService() override;  // finishes the writes and removals already asked for

  static QString folder();
  // The recovery image of the code plug file `path`, and the file naming that path.
  static QString imagePath(const QString& path);
  static QString pathFilePath(const QString& path);

  // The image changed: it is written within the interval, unless by then it equals the file.
  void changed();
  // The changes to `path` were saved or discarded: its recovery file goes.
  void discard(const QString& path);
  // When a recovery file of `path` newer than the file exists: its time. One that is not
  // newer holds changes a later save overtook: it is removed.
  std::optional<QDateTime> pending(const QString& path);
  // Its bytes (empty when it cannot be read).
  static std::vector<std::uint8_t> read(const QString& path);
  // Blocks until every write and removal asked for has happened.
  void waitForWrites();

 private:
  void writeNow();

  const pw::CodePlugDocument& doc_;
  QTimer timer_;
  QThreadPool writer_;
};
