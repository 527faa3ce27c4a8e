#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "Version.h"
#include "shell/MainForm.h"

namespace {

// A command used wrongly: more than one file, or an unknown option.
constexpr int kUsageStatus = 64;

void nameProgram() {
  QCoreApplication::setApplicationName(QStringLiteral("plugwright"));
  QCoreApplication::setApplicationVersion(QStringLiteral(PLUGWRIGHT_VERSION));
}

// Reads the command line; answers --help and --version, and a wrong option, by ending the
// program.
void readCommandLine(QCommandLineParser& parser, const QCoreApplication& app) {
  parser.setApplicationDescription(QStringLiteral("Editor for the code plug (.rdt file) of a DMR radio."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"),
                               QStringLiteral("Code plug to open instead of the last file."),
                               QStringLiteral("[file]"));
  if (!parser.parse(app.arguments())) {
    std::fprintf(stderr, "plugwright: %s\n", qPrintable(parser.errorText()));
    std::exit(kUsageStatus);
  }
  if (parser.isSet(version)) parser.showVersion();
  if (parser.isSet(QStringLiteral("help-all"))) parser.showHelp();  // with Qt's own options
  if (parser.isSet(help)) {
    std::printf("%s\nExit statuses:\n"
                "  0   the window was closed\n"
                "  64  wrong usage: more than one file, or an unknown option\n",
                qPrintable(parser.helpText()));
    std::exit(0);
  }
}

// Help and version are answered before the window system is reached, so they work on a
// terminal without a display. (Everything else waits for QApplication, which takes its own
// options such as -platform off the command line first.)
void answerWithoutDisplay(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help" || arg == "-?" || arg == "--help-all" || arg == "-v" || arg == "--version") {
      QCoreApplication commandLine(argc, argv);
      nameProgram();
      QCommandLineParser parser;
      readCommandLine(parser, commandLine);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer clock;
  clock.start();
  answerWithoutDisplay(argc, argv);
  QApplication app(argc, argv);
  nameProgram();
  // Ties the window to the installed desktop entry (its name and icon).
  QGuiApplication::setDesktopFileName(QStringLiteral("net.plugwright.Plugwright"));

  QCommandLineParser parser;
  readCommandLine(parser, app);
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::fprintf(stderr, "plugwright: at most one file can be opened\n");
    return kUsageStatus;
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
