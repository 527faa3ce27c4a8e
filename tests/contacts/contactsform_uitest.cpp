// The Digital Contacts tab driven through its named widgets, with a scripted prompt
// and the file dialogs replaced.

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "widgets/SearchEdit.h"
#include "codeplug/RecordList.h"
#include "contacts/ContactList.h"
#include "contacts/ui/DigitalContactsForm.h"
#include "contacts/ui/UserDatabaseImportDialog.h"
#include "support/ui/TabHarness.h"

using namespace pwtest::ui;
using pw::ListId;
using Form = TDigitalContactsForm;

namespace {
// Model columns: the hidden 1-pixel column comes first.
enum { NoCol = 1, NameCol, IdCol, TypeCol, RxCol };
}  // namespace

class ContactsFormTest : public QObject, TabHarness<Form> {
  Q_OBJECT

  QLineEdit* edit = nullptr;
  QLabel* caption = nullptr;
  QMenu* menu = nullptr;
  std::vector<std::optional<Form::FileChoice>> dialogAnswers;
  std::vector<bool> dialogsShown;  // save flag of each dialog shown

  void open(pwtest::CodePlugBuilder* builder) {
    dialogAnswers.clear();
    dialogsShown.clear();
    openTab(builder, QSize(800, 420), [this](pw::CodePlugDocument&, Form& f) {
      f.setFileDialog([this](bool save) {
        dialogsShown.push_back(save);
        auto answer = dialogAnswers.empty() ? std::nullopt : dialogAnswers.front();
        if (!dialogAnswers.empty()) dialogAnswers.erase(dialogAnswers.begin());
        return answer;
      });
    });
    if (QTest::currentTestFailed()) return;
    edit = control<QLineEdit>("listViewEdit");
    caption = control<QLabel>("CountLabel");
    menu = control<QMenu>("PopupMenu");
  }
  // Contacts 1..count: "C<n>", ID n*10, group calls.
  void openWith(int count) {
    pwtest::CodePlugBuilder b;
    for (int i = 0; i < count; ++i) b.contact(i, "C" + std::to_string(i + 1), std::uint32_t(10 * (i + 1)));
    open(&b);
  }
  QPushButton* button(const char* name) const { return control<QPushButton>(name); }
  QToolButton* showNo() const { return control<QToolButton>("ShowNoSpeedButton"); }
  QAction* entry(const QString& text) const {
    for (QAction* a : menu->actions())
      if (a->text() == text) return a;
    return nullptr;
  }

 private slots:
  void cleanup() { closeTab(); }

  void withoutCodePlugEverythingIsOff() {
    open(nullptr);
    QCOMPARE(caption->text(), QString("Contacts .. up to 1000. "));
    for (const char* name :
         {"AddBitBtn", "DeleteBitBtn", "MoveUpBitBtn", "MoveDownBitBtn", "ImportBitBtn", "ExportBitBtn"})
      QVERIFY2(!button(name)->isEnabled(), name);
    QCOMPARE(menuEntries(true), QStringList{"Cancel"});
    QTest::mouseClick(button("ImportBitBtn"), Qt::LeftButton);
    QVERIFY(dialogsShown.empty());
  }

  void fillShowsEveryCellAndSelectsTheFirstRow() {
    pwtest::CodePlugBuilder b;
    b.contact(0, "Local Net", 9, pw::kGroupCall, true)
        .contact(1, "Pat", 2345678, pw::kPrivateCall)
        .contact(2, "Base", 16777215, pw::kPcCall);
    open(&b);
    QCOMPARE(rowCount(), 3);
    QCOMPARE(cell(0, NoCol), QString("1"));
    QCOMPARE(cell(0, NameCol), QString("Local Net"));
    QCOMPARE(cell(0, IdCol), QString("9"));
    QCOMPARE(cell(0, TypeCol), QString("Group call"));
    QCOMPARE(cell(0, RxCol), QString("Yes"));
    QCOMPARE(cell(1, RxCol), QString(""));
    QCOMPARE(cell(2, TypeCol), QString("PC call"));
    QCOMPARE(cell(2, IdCol), QString("16777215"));
    QCOMPARE(selectedRows(view), std::vector<int>{0});
    QCOMPARE(caption->text(), QString("Contacts .. used 3 of 1000. 1 selected. "));
    for (const char* name : {"ImportBitBtn", "ExportBitBtn", "DeleteBitBtn", "MoveDownBitBtn"})
      QVERIFY2(button(name)->isEnabled(), name);
    QVERIFY(!button("MoveUpBitBtn")->isEnabled());
  }

  void addSelectsTheNewContactUnderTheContactListCaption() {
    openWith(3);
    QTest::mouseClick(button("AddBitBtn"), Qt::LeftButton);
    settle();
    QCOMPARE(rowCount(), 4);
    QCOMPARE(cell(3, NameCol), QString("Contact 4"));
    QCOMPARE(selectedRows(view), std::vector<int>{3});
    QCOMPARE(view->currentIndex().row(), 3);
    QCOMPARE(caption->text(), QString("Contact List .. used 4 of 1000. 1 selected. "));
    clickCell(view, 1, NameCol);
    settle();
    QCOMPARE(caption->text(), QString("Contacts .. used 4 of 1000. 1 selected. "));

    runMenuEntry("Add");
    QCOMPARE(cell(4, NameCol), QString("Contact 5"));
    QCOMPARE(caption->text(), QString("Contact List .. used 5 of 1000. 1 selected. "));
  }

  void editNameAndId() {
    openWith(3);
    doubleClickCell(view, 1, NameCol);
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->maxLength(), 16);
    QCOMPARE(edit->text(), QString("C2"));
    QTest::keyClicks(edit, QString::fromUtf8("TÇlk group one two"));
    QCOMPARE(edit->text(), QString("Tlk group one tw"));  // 16 characters, 32..127 only
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(pw::recordName(*doc, ListId::Contacts, 1), std::string("Tlk group one tw"));
    QCOMPARE(cell(1, NameCol), QString("Tlk group one tw"));

    doubleClickCell(view, 2, IdCol);
    QCOMPARE(edit->maxLength(), 8);
    QTest::keyClicks(edit, "12a3-4");
    QCOMPARE(edit->text(), QString("1234"));
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(pw::contactCallId(*doc, 2), 1234u);
    QCOMPARE(cell(2, IdCol), QString("1234"));
  }

  void typeCyclesRxToneTogglesNumberAndBelowDoNothing() {
    pwtest::CodePlugBuilder b;
    b.contact(0, "A", 1, pw::kPcCall).contact(1, "B", 2, pw::kGroupCall);
    open(&b);
    const auto flags = [&](int slot) { return pw::recordBytes(*doc, ListId::Contacts, slot)[3]; };
    const std::uint8_t before = flags(0);
    doubleClickCell(view, 0, TypeCol);
    QCOMPARE(cell(0, TypeCol), QString("Group call"));
    QCOMPARE(flags(0) & 0xF8, before & 0xF8);  // only the call type bits moved
    doubleClickCell(view, 1, RxCol);
    QCOMPARE(cell(1, RxCol), QString("Yes"));
    QVERIFY(pw::contactRxTone(*doc, 1));
    doubleClickCell(view, 1, RxCol);
    QCOMPARE(cell(1, RxCol), QString(""));

    const auto image = doc->workingImage;
    doubleClickCell(view, 1, NoCol);
    QVERIFY(!edit->isVisible());
    doubleClickBelowLastRow(view);
    QCOMPARE(rowCount(), 2);
    QCOMPARE(doc->workingImage, image);
  }

  void menuEnablingAndBulkEdits() {
    openWith(5);
    view->clearSelection();
    settle();
    QCOMPARE(menuEntries(true),
             (QStringList{"Add", "Insert", "Select All", "Sort by Name", "Sort by ID", "Cancel"}));
    select({1, 3});
    QCOMPARE(menuEntries(true),
             (QStringList{"Copy", "Add", "Insert", "Delete", "Select All", "Set to Group Call",
                          "Set to Private Call", "Set to No Rx Tone", "Set to Rx Tone", "Move Up",
                          "Move Down", "Sort by Name", "Sort by ID", "Cancel"}));
    runMenuEntry("Set to Private Call");
    runMenuEntry("Set to Rx Tone");
    for (int row : {1, 3}) {
      QCOMPARE(cell(row, TypeCol), QString("Private call"));
      QCOMPARE(cell(row, RxCol), QString("Yes"));
    }
    QCOMPARE(cell(2, TypeCol), QString("Group call"));
    runMenuEntry("Set to Group Call");
    runMenuEntry("Set to No Rx Tone");
    QCOMPARE(cell(3, TypeCol), QString("Group call"));
    QVERIFY(!pw::contactRxTone(*doc, 3));

    runMenuEntry("Move Up");
    QCOMPARE(selectedRows(view), (std::vector<int>{0, 2}));
    QCOMPARE(cell(0, NameCol), QString("C2"));
    runMenuEntry("Move Down");
    QCOMPARE(cell(1, NameCol), QString("C2"));
    runMenuEntry("Select All");
    QCOMPARE(selectedRows(view).size(), std::size_t(5));
    form->listEditor()->updateContextMenu();
    QVERIFY(!entry("Select All")->isEnabled());
    select({4});
    runMenuEntry("Delete");
    QCOMPARE(rowCount(), 4);

    // The right mouse button opens the menu over the grid with the same enabling.
    const QPoint at = cellCenter(view, 0, NameCol);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    view->clearSelection();
    settle();
    QApplication::sendEvent(view->viewport(), &event);
    QVERIFY(menu->isVisible());
    QVERIFY(!entry("Delete")->isEnabled());
    menu->hide();
  }

  void showNoRefillsKeepingTheTopRow() {
    openWith(200);
    form->listEditor()->scrollToTop(50);
    QTest::mouseClick(showNo(), Qt::LeftButton);
    QVERIFY(form->showNoRxTone());
    QCOMPARE(cell(60, RxCol), QString("No"));
    QCOMPARE(form->listEditor()->topRow(), 50);
    form->setShowNoRxTone(false);
    QVERIFY(!showNo()->isChecked());
    QCOMPARE(cell(60, RxCol), QString(""));
    QCOMPARE(form->listEditor()->topRow(), 50);
  }

  void searchSelectsMatchesInEveryCell() {
    pwtest::CodePlugBuilder b;
    for (int i = 0; i < 30; ++i) b.contact(i, "Ct", 5, i % 2 ? pw::kPrivateCall : pw::kGroupCall);
    b.contact(30, "X12", 5, pw::kPrivateCall).contact(31, "Y", 3120, pw::kPrivateCall);
    open(&b);
    // Enter, Escape and the focus are the Channels tab's proof; the cells the model's.
    // Typing searches on its own once the text rests for 500 ms: number 12, name, ID.
    auto* search = control<SearchEdit>("SearchEdit");
    search->setFocus();
    QTest::keyClicks(search, "12");
    QVERIFY(search->timer()->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(selectedRows(view), (std::vector<int>{11, 30, 31}), 2000);
    QCOMPARE(form->listEditor()->topRow(), std::min(11, 32 - form->listEditor()->visibleRows()));

    search->clear();
    QTest::keyClick(search, Qt::Key_Enter);
    QVERIFY(selectedRows(view).empty());
    QCOMPARE(caption->text(), QString("Contacts .. used 32 of 1000. "));
  }

  void deleteGoesOnPastARefusedContact() {
    pwtest::CodePlugBuilder b;
    for (int i = 0; i < 5; ++i) b.contact(i, "C" + std::to_string(i + 1), 10u * (i + 1));
    b.numberKey(0, 3);  // contact 3 is on number key 1
    open(&b);
    select({1, 2, 3});
    prompt.refusals = {pw::RefusalAnswer::GoOn};
    QTest::mouseClick(button("DeleteBitBtn"), Qt::LeftButton);
    settle();
    // C2 goes first: C3 is contact 2 by its turn, and number key 1 was renumbered with it.
    QCOMPARE(prompt.texts("refuse"),
             std::vector<std::string>{
                 "Cannot delete contact \"C3\".\n\nIt's used in button number-key 1 setting"});
    QCOMPARE(rowCount(), 3);
    QCOMPARE(cell(1, NameCol), QString("C3"));
    QCOMPARE(cell(2, NameCol), QString("C5"));
  }

  void exportAppendsTheFilterExtension() {
    QCOMPARE(Form::exportFileName("plain", Form::TxtFilter), QString("plain.txt"));
    QCOMPARE(Form::exportFileName("LIST.TXT", Form::TxtFilter), QString("LIST.TXT"));
    QCOMPARE(Form::exportFileName("list.Csv", Form::CsvFilter), QString("list.Csv"));
    QCOMPARE(Form::exportFileName("list.txt", Form::AnyFilter), QString("list.txt"));

    pwtest::CodePlugBuilder b;
    b.contact(0, "Pat Z9ZZ", 2345678, pw::kPrivateCall).contact(1, "Local Net", 9);
    open(&b);
    const QString dir = QString::fromStdString(pwtest::testTempDir());
    QFile::remove(dir + "/list.txt.csv");
    dialogAnswers = {Form::FileChoice{dir + "/list.txt", Form::CsvFilter}};
    QTest::mouseClick(button("ExportBitBtn"), Qt::LeftButton);
    QCOMPARE(dialogsShown, std::vector<bool>{true});
    QVERIFY(!QFile::exists(dir + "/list.txt"));
    const auto written = pwtest::readFile((dir + "/list.txt.csv").toStdString());
    QCOMPARE(std::string(written.begin(), written.end()), std::string("2345678,Z9ZZ,Pat\n9,Local Net,-\n"));
  }

  void importAppendsAndSelectsTheFirstRow() {
    const QString file = QString::fromStdString(pwtest::testTempDir()) + "/in.csv";
    pwtest::writeFile(file.toStdString(), {'7', ',', 'N', 'e', 'w', '\n', '9', ',', 'D', 'u', 'p', '\n'});
    pwtest::CodePlugBuilder b;
    b.contact(0, "Local Net", 9).contact(1, "B", 2);
    open(&b);
    select({1});
    dialogAnswers = {std::nullopt, Form::FileChoice{file, Form::CsvFilter}};
    QTest::mouseClick(button("ImportBitBtn"), Qt::LeftButton);  // cancelled
    QCOMPARE(rowCount(), 2);
    QTest::mouseClick(button("ImportBitBtn"), Qt::LeftButton);
    QCOMPARE(dialogsShown, (std::vector<bool>{false, false}));
    QCOMPARE(rowCount(), 3);
    QCOMPARE(cell(2, NameCol), QString("New"));
    QCOMPARE(selectedRows(view), std::vector<int>{0});
    QVERIFY(prompt.shown.empty());
  }

  void copyPasteAndInsertFromMenuAndKeys() {
    openWith(3);
    QClipboard* clipboard = QGuiApplication::clipboard();
    select({0, 2});
    runMenuEntry("Copy");
    QCOMPARE(clipboard->text(), QString("call_id,name,call_type,receive_tone\r\n10,C1,Group call,No\r\n"
                                        "30,C3,Group call,No\r\n"));
    // Pasted into the list they came from: their IDs are there, and one box says so.
    runMenuEntry("Paste");
    QCOMPARE(rowCount(), 3);
    QCOMPARE(prompt.texts("inform"),
             std::vector<std::string>{"Pasted 0 contacts.\n\n"
                                      "line 2: not pasted: call ID 10 is in the list already: \"C1\"\n"
                                      "line 3: not pasted: call ID 30 is in the list already: \"C3\""});

    view->clearSelection();
    QTest::keyClick(view, Qt::Key_Insert);
    QCOMPARE(cell(3, NameCol), QString("Contact 4"));
    QCOMPARE(selectedRows(view), std::vector<int>{3});
    QVERIFY(edit->isVisible());
    QVERIFY(doc->settleEdits("edit"));
    QCOMPARE(doc->history().undoLabel(), std::string("insert contact"));
  }

  void sortFromTheMenuCarriesSelectionAndReferencesInOneStep() {
    pwtest::CodePlugBuilder b;
    b.contact(0, "delta", 40).contact(1, "Alpha", 30).contact(2, "charlie", 20).contact(3, "bravo", 10);
    b.numberKey(0, 1);  // calls delta
    open(&b);
    const auto loaded = doc->workingImage;
    const auto names = [&] {
      QStringList v;
      for (int r = 0; r < rowCount(); ++r) v << cell(r, NameCol);
      return v;
    };
    select({0});
    runMenuEntry("Sort by Name");
    QCOMPARE(names(), (QStringList{"Alpha", "bravo", "charlie", "delta"}));
    QCOMPARE(selectedRows(view), std::vector<int>{3});
    doc->settleEdits("edit");  // what the window does after the click

    select({0, 1, 3});  // only these, among their places
    runMenuEntry("Sort by ID");
    QCOMPARE(names(), (QStringList{"bravo", "Alpha", "charlie", "delta"}));
    QCOMPARE(selectedRows(view), (std::vector<int>{0, 1, 3}));
    QVERIFY(doc->undo());
    QVERIFY(doc->undo());
    QCOMPARE(doc->workingImage, loaded);
  }

  void userDatabaseIsPreviewedAndImportedOnOk() {
    const QString file = QString::fromStdString(pwtest::testTempDir()) + "/userdb.txt";
    const std::string text =
        "RADIO_ID,CALLSIGN,FIRST_NAME,LAST_NAME,CITY,STATE,COUNTRY\r\n2620001,DL1ABC,Jane,,,,Germany\r\n"
        "2620002,DL2XYZ,Joe,,,,Germany\r\n3100001,W1AW,Max,,,,United States\r\n9,LOCAL,Net,,,,Germany\r\n"
        "x,BAD,,,,,Germany\r\n";
    pwtest::writeFile(file.toStdString(), std::vector<std::uint8_t>(text.begin(), text.end()));
    pwtest::CodePlugBuilder b;
    b.contact(0, "Local Net", 9);
    open(&b);
    QStringList reports, summaries, seen;
    bool accept = false;
    form->setReport([&](const QString& t) { reports << t; });
    form->setDatabaseDialog([&](UserDatabaseImportDialog& d) -> bool {
      d.show();
      auto* summary = named<QLabel>(&d, "SummaryLabel");
      auto* buttons = d.findChild<QDialogButtonBox*>();
      summaries << summary->text();
      QTest::keyClicks(named<QLineEdit>(&d, "IdPrefixEdit"), "26x2, 9");  // the x is not taken
      summaries << summary->text();
      auto* countries = named<QListWidget>(&d, "CountryList");
      seen << countries->item(1)->text();
      countries->item(1)->setCheckState(Qt::Checked);
      summaries << summary->text();
      seen << (buttons->button(QDialogButtonBox::Ok)->isEnabled() ? "OK on" : "OK off");
      countries->item(1)->setCheckState(Qt::Unchecked);
      QTest::mouseClick(buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
      return d.result() == QDialog::Accepted;
    });
    const auto loaded = doc->workingImage;
    dialogAnswers = {Form::FileChoice{file, Form::AnyFilter}, Form::FileChoice{file, Form::AnyFilter}};
    QTest::mouseClick(button("ImportBitBtn"), Qt::LeftButton);  // Cancel
    QCOMPARE(doc->workingImage, loaded);
    QVERIFY(reports.isEmpty());
    QCOMPARE(seen, (QStringList{"United States (1)", "OK off"}));
    QCOMPARE(summaries, (QStringList{
                            "4 rows match: 3 to add, 1 already present, 0 do not fit. 1 malformed rows are skipped. "
                            "999 of 1000 contacts are free.",
                            "3 rows match: 2 to add, 1 already present, 0 do not fit. 1 malformed rows are skipped. "
                            "999 of 1000 contacts are free.",
                            "0 rows match: 0 to add, 0 already present, 0 do not fit. 1 malformed rows are skipped. "
                            "999 of 1000 contacts are free."}));

    accept = true;
    QTest::mouseClick(button("ImportBitBtn"), Qt::LeftButton);
    QCOMPARE(rowCount(), 3);
    QCOMPARE(cell(1, NameCol), QString("DL1ABC Jane"));
    QCOMPARE(cell(2, IdCol), QString("2620002"));
    QCOMPARE(cell(2, TypeCol), QString("Private call"));
    QCOMPARE(reports, QStringList{"2 contacts added.\n1 already present.\n1 malformed.\n0 did not fit."});
    doc->settleEdits("edit");
    QCOMPARE(doc->history().undoLabel(), std::string("import 2 contacts"));
    QVERIFY(doc->undo());
    QCOMPARE(doc->workingImage, loaded);

    // A country spelt in an 8-bit code (not UTF-8) is still the one its tick picks.
    pw::exchange::Database eightBit;
    QCOMPARE(pw::exchange::readDatabaseText(
                 "RADIO_ID,CALLSIGN,COUNTRY\n2321,OE1A,\xD6sterreich\n2322,OE2B,Other\n", eightBit),
             pw::exchange::ReadStatus::Ok);
    UserDatabaseImportDialog dialog(*doc, eightBit, file);
    named<QListWidget>(&dialog, "CountryList")->item(1)->setCheckState(Qt::Checked);  // after "Other"
    QCOMPARE(dialog.filter().countries, std::vector<std::string>{"\xD6sterreich"});
    QVERIFY(named<QLabel>(&dialog, "SummaryLabel")->text().startsWith("1 rows match: 1 to add"));
  }
};

QTEST_MAIN(ContactsFormTest)
#include "contactsform_uitest.moc"
