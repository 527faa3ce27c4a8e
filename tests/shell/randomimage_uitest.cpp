// Any 262709-byte file with a valid DfuSe prefix must load, display and take edits
// without a crash or an out-of-bounds access, whatever its code plug bytes hold.
// Run under the sanitizers this drives every tab of the real window over random images.

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <random>

#include "widgets/TabForm.h"
#include "shell/MainForm.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

class RandomImageTest : public QObject {
  Q_OBJECT

  static std::string randomPlug(unsigned seed, int density) {
    std::mt19937 rng(seed);
    auto bytes = pwtest::CodePlugBuilder().bytes();
    // Random bytes over the whole image; density decides how many names are in use.
    for (std::size_t i = pw::kImageBase; i < pw::kImageBase + pw::kImageSize; ++i)
      bytes[i] = int(rng() % 100) < density ? std::uint8_t(rng()) : std::uint8_t(0);
    const std::string path = pwtest::testTempDir() + "/random" + std::to_string(seed) + ".rdt";
    pwtest::writeFile(path, bytes);
    return path;
  }

  // Selects every row of every list of the shown tab, lets the deferred refreshes run,
  // and touches each enabled drop-down and toggle once.
  static void exercise(QWidget* tab) {
    for (auto* view : tab->findChildren<QAbstractItemView*>()) {
      if (!view->isVisible() || !view->model()) continue;
      view->selectAll();
      QCoreApplication::processEvents();
    }
    for (auto* box : tab->findChildren<QComboBox*>())
      if (box->isEnabled() && box->isVisible() && box->count() > 1) box->setCurrentIndex(box->count() - 1);
    for (auto* button : tab->findChildren<QToolButton*>())
      if (button->isEnabled() && button->isVisible() && button->isCheckable()) button->click();
    QCoreApplication::processEvents();
    // List commands on whatever is selected: refusals are answered Stop by the prompt.
    for (const char* name : {"MoveDownBitBtn", "MoveUpBitBtn", "DeleteBitBtn", "AddBitBtn"}) {
      for (auto* button : tab->findChildren<QPushButton*>(name))
        if (button->isEnabled() && button->isVisible()) button->click();
      QCoreApplication::processEvents();
    }
  }

 private slots:
  void everyTabSurvivesRandomImages_data() {
    QTest::addColumn<unsigned>("seed");
    QTest::addColumn<int>("density");
    QTest::newRow("sparse") << 1u << 5;
    QTest::newRow("half") << 2u << 50;
    QTest::newRow("dense") << 3u << 100;
    QTest::newRow("dense2") << 4u << 100;
  }

  void everyTabSurvivesRandomImages() {
    QFETCH(unsigned, seed);
    QFETCH(int, density);
    const std::string path = randomPlug(seed, density);
    pwtest::ScriptedPrompt prompt;
    TMainFormHooks hooks;
    hooks.prompt = &prompt;
    hooks.settingsPath = QString::fromStdString(pwtest::testTempDir() + "/random.ini");
    hooks.chooseFile = [&](bool, const QString&) { return QString::fromStdString(path); };
    hooks.screens = [] { return pw::ScreenMetrics{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 1920}; };
    TMainForm window(hooks);
    window.show();
    window.OpenBitBtnClick();
    QCOMPARE(window.document().hasImage(), true);
    auto* pages = window.findChild<QTabWidget*>("PageControl");
    QVERIFY(pages);
    for (int i = 0; i < TMainForm::kTabCount; ++i) {
      pages->setCurrentIndex(i);
      QCoreApplication::processEvents();
      exercise(window.tabForm(i));
      window.tabForm(i)->refresh(true, 0);
    }
    // Whatever was edited, the image keeps its size and its DfuSe prefix.
    QCOMPARE(window.document().workingImage.size(), std::size_t(pw::kRdtFileSize));
    QCOMPARE(std::string(window.document().workingImage.begin(), window.document().workingImage.begin() + 5),
             std::string("DfuSe"));
    prompt.questions = {pw::Answer::No};  // discard on close
    window.close();
  }
};

QTEST_MAIN(RandomImageTest)
#include "randomimage_uitest.moc"
