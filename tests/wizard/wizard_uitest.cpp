// The Wizard button and its dialog driven as a user drives them: the pages in turn, the area
// count as boxes are ticked, Save Plan, Finish as one undo step, Cancel, and a plan file
// opened straight into the preview. The plan the window writes, read by the command line's
// path, gives the same code plug byte for byte.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QWizard>

#include "codeplug/RecordList.h"
#include "shell/WindowFixture.h"
#include "wizard/Generate.h"
#include "wizard/ui/CodePlugWizard.h"

namespace {

const char* const kRepeaters =
    "{\"rptrs\": ["
    "{\"callsign\": \"DB0ESS\", \"city\": \"Essen\", \"state\": \"NRW\", \"country\": \"Germany\","
    " \"frequency\": \"439.5625\", \"offset\": \"-7.6\", \"color_code\": 1, \"ipsc_network\": "
    "\"BrandMeister\","
    " \"lat\": 51.45, \"lng\": 7.01},"
    "{\"callsign\": \"DB0KOE\", \"city\": \"K\xC3\xB6ln\", \"state\": \"NRW\", \"country\": \"Germany\","
    " \"frequency\": \"438.2125\", \"offset\": \"-7.6\", \"color_code\": \"2\", \"ipsc_network\": \"DMR+\","
    " \"lat\": 50.94, \"lng\": 6.96},"
    "{\"callsign\": \"F1ZZZ\", \"city\": \"Lyon\", \"state\": \"ARA\", \"country\": \"France\","
    " \"frequency\": \"430.4\", \"offset\": \"+9.4\", \"color_code\": 3, \"ipsc_network\": \"BrandMeister\"},"
    "{\"callsign\": \"DB0OFF\", \"city\": \"Essen\", \"state\": \"NRW\", \"country\": \"Germany\","
    " \"frequency\": \"439.1\", \"offset\": \"-7.6\", \"color_code\": 1, \"status\": \"Inactive\"}"
    "]}";
const char* const kTalkgroups = "{\"91\": \"World-wide\", \"262\": \"Germany\", \"9\": \"Local\"}";

}  // namespace

class WizardTest : public pwtest::ui::WindowFixture {
  Q_OBJECT

  QString lists;  // the folder of the two lists

  void startWithLists() {
    pwtest::CodePlugBuilder b;
    b.channel(0, "Home");
    start(&b);
    lists = path("lists");
    QDir().mkpath(lists);
    for (const auto& [name, text] : {std::pair{"rptrs.json", kRepeaters}, {"tg.json", kTalkgroups}})
      pwtest::writeFile((lists + "/" + name).toStdString(), {text, text + std::strlen(text)});
  }

  template <typename W>
  static W* in(QWidget* wizard, const char* name) {
    W* w = wizard->findChild<W*>(QString::fromLatin1(name));
    if (!w) qFatal("no control %s", name);
    return w;
  }
  static void tick(QListWidget* list, const QString& startsWith) {
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text().startsWith(startsWith)) list->item(i)->setCheckState(Qt::Checked);
  }
  // Saves a picture of the page when PLUGWRIGHT_SHOTS names a folder (screenshots by hand).
  static void shoot(QWizard* wizard) {
    const QByteArray folder = qgetenv("PLUGWRIGHT_SHOTS");
    if (folder.isEmpty()) return;
    wizard->resize(1138, 585);
    QCoreApplication::processEvents();
    wizard->grab().save(QString::fromUtf8(folder) + "/wizard-" + wizard->currentPage()->objectName() +
                        ".png");
  }

  // Drives the pages from the first to the preview: both lists, Germany ticked, the "*" set
  // with 91 and 262 on slot 1 and 9 on slot 2, zones by city.
  void throughThePages(QWizard* w) {
    in<QLineEdit>(w, "RepeaterFileEdit")->setText(lists + "/rptrs.json");
    in<QLineEdit>(w, "TalkgroupFileEdit")->setText(lists + "/tg.json");
    shoot(w);
    w->next();
    QCOMPARE(w->currentId(), int(CodePlugWizard::AreaPage));
    auto* count = in<QLabel>(w, "AreaCountLabel");
    QCOMPARE(count->text(), QStringLiteral("3 repeaters in the area"));
    tick(in<QListWidget>(w, "CountryList"), "Germany");
    QCOMPARE(count->text(), QStringLiteral("2 repeaters in the area"));
    in<QCheckBox>(w, "IncludeInactiveCheckBox")->setChecked(true);
    QCOMPARE(count->text(), QStringLiteral("3 repeaters in the area"));
    in<QCheckBox>(w, "IncludeInactiveCheckBox")->setChecked(false);
    shoot(w);
    w->next();
    QCOMPARE(w->currentId(), int(CodePlugWizard::TalkgroupsPage));
    auto* talkgroups = in<QListWidget>(w, "TalkgroupList");
    in<QLineEdit>(w, "TalkgroupSearchEdit")->setText("world");
    QCOMPARE(talkgroups->findItems("91  World-wide", Qt::MatchExactly).first()->isHidden(), false);
    QCOMPARE(talkgroups->findItems("262  Germany", Qt::MatchExactly).first()->isHidden(), true);
    in<QLineEdit>(w, "TalkgroupSearchEdit")->clear();
    for (const char* item : {"91  World-wide", "262  Germany"})
      talkgroups->findItems(item, Qt::MatchExactly).first()->setSelected(true);
    in<QPushButton>(w, "AddToSlot1BitBtn")->click();
    talkgroups->clearSelection();
    in<QLineEdit>(w, "TalkgroupSearchEdit")->setText("9");  // an ID typed
    in<QPushButton>(w, "AddToSlot2BitBtn")->click();
    QCOMPARE(in<QListWidget>(w, "Slot1List")->count(), 2);
    QCOMPARE(in<QListWidget>(w, "Slot2List")->count(), 1);
    shoot(w);
    w->next();
    QCOMPARE(w->currentId(), int(CodePlugWizard::LayoutPage));
    auto* zones = in<QComboBox>(w, "ZonesComboBox");
    zones->setCurrentIndex(zones->findText("by city"));
    in<QLineEdit>(w, "RadioIdEdit")->setText("2621234");
    shoot(w);
    w->next();
    QCOMPARE(w->currentId(), int(CodePlugWizard::PreviewPage));
    QCOMPARE(
        in<QLabel>(w, "PreviewSummaryLabel")->text(),
        QStringLiteral("6 channels, 2 zones, 2 scan lists, 2 rx group lists and 3 contacts will be added; "
                       "2 entries are left out."));
    QVERIFY(in<QPlainTextEdit>(w, "PreviewText")
                ->toPlainText()
                .contains("F1ZZZ: outside the area: country \"France\""));
    shoot(w);
  }

 private slots:
  void init() { fresh(); }

  void theButtonWaitsForACodePlug() {
    start(nullptr);
    QVERIFY(!control<QPushButton>("WizardBitBtn")->isEnabled());
    startWithLists();
    QVERIFY(control<QPushButton>("WizardBitBtn")->isEnabled());
  }

  void cancelWritesNothing() {
    startWithLists();
    const auto before = form->document().workingImage;
    pwtest::ui::whenModal([this](QWidget* modal) {
      auto* w = qobject_cast<QWizard*>(modal);
      QVERIFY(w);
      throughThePages(w);
      w->reject();
    });
    click("WizardBitBtn");
    settle();
    QCOMPARE(form->document().workingImage, before);
    QVERIFY(!form->document().history().canUndo());
  }

  void finishIsOneStepAndTheSavedPlanGivesTheSameBytes() {
    startWithLists();
    const QString plan = path("club.json");
    wizardAnswers << plan;
    const auto before = form->document().workingImage;
    pwtest::ui::whenModal([this](QWidget* modal) {
      auto* w = qobject_cast<QWizard*>(modal);
      QVERIFY(w);
      throughThePages(w);
      in<QPushButton>(w, "SavePlanBitBtn")->click();
      w->button(QWizard::FinishButton)->click();
    });
    click("WizardBitBtn");
    settle();
    pw::CodePlugDocument& doc = form->document();
    QCOMPARE(pw::usedCount(doc, pw::ListId::Channels), 7);
    QCOMPARE(pw::recordName(doc, pw::ListId::Zones, 1), std::string("Koln"));
    const auto after = doc.workingImage;

    // The command line's path over the plan the window wrote.
    const pw::wizard::PlanRun run = pw::wizard::readPlanRun(plan.toStdString());
    QVERIFY2(run.error.empty(), run.error.c_str());
    const auto planBytes = pwtest::readFile(plan.toStdString());
    QVERIFY(std::string(planBytes.begin(), planBytes.end()).find("\"file\": \"lists/rptrs.json\"") !=
            std::string::npos);
    pw::CodePlugDocument again;
    QCOMPARE(again.loadCodePlug(doc.fileName, false), 0);
    pw::wizard::generate(again, run.plan, run.sources);
    QCOMPARE(again.workingImage, after);

    click("UndoBitBtn");
    settle();
    QCOMPARE(doc.workingImage, before);

    // The plan opened on the first page goes straight to the preview; Finish makes the same.
    wizardAnswers << plan;
    pwtest::ui::whenModal([](QWidget* modal) {
      auto* w = qobject_cast<QWizard*>(modal);
      QVERIFY(w);
      in<QPushButton>(w, "OpenPlanBitBtn")->click();
      QCOMPARE(w->currentId(), int(CodePlugWizard::PreviewPage));
      w->button(QWizard::FinishButton)->click();
    });
    click("WizardBitBtn");
    settle();
    QCOMPARE(doc.workingImage, after);
  }
};

QTEST_MAIN(WizardTest)
#include "wizard_uitest.moc"
