// Times the shared list editor on a 1000-row list read from the image: a rebuild
// (model reset, caption, repaint of the visible rows) and a select-all with the
// deferred caption update. Prints the median and worst of each in milliseconds, then
// runs the timings other files register (UiBench.h).

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "UiBench.h"
#include "widgets/ListEditor.h"
#include "codeplug/RecordList.h"
#include "support/CodePlugBuilder.h"

namespace {
constexpr int kRows = 1000;
constexpr int kRuns = 50;

struct Registered {
  const char* name;
  void (*run)();
};
std::vector<Registered>& registered() {
  static std::vector<Registered> all;
  return all;
}
}  // namespace

uibench::Registration::Registration(const char* name, void (*run)()) { registered().push_back({name, run}); }

void uibench::runRegistered() {
  for (const Registered& r : registered()) {
    std::printf("-- %s\n", r.name);
    r.run();
  }
}

void uibench::report(const char* what, const std::function<void()>& run, const std::function<void()>& reset) {
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    reset();
    QElapsedTimer timer;
    timer.start();
    run();
    ms.push_back(double(timer.nsecsElapsed()) / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-40s median %6.2f ms   worst %6.2f ms   (%d runs)\n", what, ms[ms.size() / 2], ms.back(),
              kRuns);
}

QString uibench::writeWindowFiles(const QString& folder, const std::vector<std::uint8_t>& plug, int tab) {
  const QString file = folder + QStringLiteral("/plug.rdt");
  pwtest::writeFile(file.toStdString(), plug);
  QFile ini(folder + QStringLiteral("/plugwright.ini"));
  if (!ini.open(QIODevice::WriteOnly)) return {};
  ini.write("[CodePlug]\nFile=" + file.toUtf8() + "\n[Misc]\nTab=" + QByteArray::number(tab) + "\n");
  return ini.fileName();
}

using uibench::report;

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window timings leave unsaved edits: their recovery files stay out of the user's folder.
  QTemporaryDir state;
  qputenv("XDG_STATE_HOME", state.path().toUtf8());
  QApplication app(argc, argv);

  pw::CodePlugDocument doc;
  pwtest::CodePlugBuilder builder;
  builder.fill(pw::ListId::Contacts, kRows, "Contact ");
  if (builder.loadInto(doc) != 0) return 1;

  ListConfig config;
  config.title = QStringLiteral("Contacts");
  config.capacity = kRows;
  ListColumn number{
      .caption = "No.", .width = 50, .alignment = Qt::AlignCenter, .captionAlignment = Qt::AlignCenter};
  ListColumn name{.caption = "Name", .width = 130};
  name.editor = ListColumn::Editor::Edit;
  config.columns = {number, name};
  config.rowCount = [&] { return pw::usedCount(doc, pw::ListId::Contacts); };
  config.cellText = [&](int row, int column) {
    return column == 0 ? QString::number(row + 1)
                       : QString::fromLatin1(pw::recordName(doc, pw::ListId::Contacts, row));
  };
  config.deleteOne = [](int) { return -1; };
  config.moveOne = [](int, int) {};

  QWidget host;
  ListEditor editor(doc, config, &host);
  auto* layout = new QVBoxLayout(&host);
  layout->addWidget(editor.countLabel());
  layout->addWidget(editor.view(), 1);
  host.resize(600, 700);
  host.show();
  QCoreApplication::processEvents();

  report(
      "rebuild 1000 rows (+ repaint)",
      [&] {
        editor.rebuild(0);
        editor.view()->viewport()->repaint();
      },
      [] {});
  report(
      "select all + caption update",
      [&] {
        editor.view()->selectAll();
        QCoreApplication::processEvents();  // the deferred refresh writes the caption
      },
      [&] {
        editor.view()->clearSelection();
        QCoreApplication::processEvents();
      });
  std::printf("caption: \"%s\"\n", editor.countLabel()->text().toLatin1().constData());
  uibench::runRegistered();
  return 0;
}
