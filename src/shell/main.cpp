#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <string_view>

#include "shell/MainForm.h"

namespace {

void describeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral("Editor for the code plug (.rdt file) of a DMR radio."));
  parser.addHelpOption();
  parser.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("Code plug to open instead of the last file."),
                               QStringLiteral("[file]"));
}

// Help is answered before the window system is reached, so it works on a terminal
// without a display. (Everything else waits for QApplication, which takes its own
// options such as -platform off the command line first.)
void answerHelpWithoutDisplay(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all") {
      QCoreApplication commandLine(argc, argv);
      QCoreApplication::setApplicationName(QStringLiteral("plugwright"));
      QCommandLineParser parser;
      describeCommandLine(parser);
      parser.process(commandLine);  // shows the help and ends the program
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  answerHelpWithoutDisplay(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("plugwright"));
  // Ties the window to the installed desktop entry (its name and icon).
  QGuiApplication::setDesktopFileName(QStringLiteral("net.plugwright.Plugwright"));

  QCommandLineParser parser;
  describeCommandLine(parser);
  parser.process(app);
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::fprintf(stderr, "plugwright: at most one file can be opened\n");
    return 64;
  }

  TMainFormHooks hooks;
  if (!files.isEmpty()) hooks.fileToOpen = files.front();
  TMainForm form(hooks);
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
