#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "shell/MainForm.h"

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  QApplication app(argc, argv);
  TMainForm form;
  form.show();

  // For headless runs: one picture of the window, then stop.
  const QString screenshot = qEnvironmentVariable("PLUGWRIGHT_SCREENSHOT");
  if (!screenshot.isEmpty())
    QTimer::singleShot(300, &form, [&] {
      const bool saved = form.grab().save(screenshot, "PNG");
      app.exit(saved ? 0 : 1);
    });
  // Start-up cost: from entering main to a shown window with the last file loaded.
  if (qEnvironmentVariableIsSet("PLUGWRIGHT_STARTUP_TIMING"))
    QTimer::singleShot(0, &form, [&] {
      std::fprintf(stderr, "plugwright: window shown after %lld ms\n", static_cast<long long>(clock.elapsed()));
    });
  return app.exec();
}
