// The DTMF tab through its named pages and grids: the side tone toggled in place, the
// digit edit boxes, and drop-downs that open on the stored value (or on none).

#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "signalling/ui/DTMFForm.h"
#include "signalling/Dtmf.h"
#include "support/ui/TabHarness.h"

using namespace pwtest::ui;

class DtmfFormTest : public QObject, TabHarness<TDTMFForm> {
  Q_OBJECT

  QTableView* grid(const char* name) const { return control<QTableView>(name); }
  unsigned byte(std::size_t at) const { return pw::u8(doc->image(), at); }
  QString at(QTableView* g, int row, int column) const {
    return g->model()->index(row, column).data().toString();
  }
  void type(const char* keys) {
    auto* edit = control<QLineEdit>("listViewEdit");
    QVERIFY(edit->isVisible());
    edit->clear();
    QTest::keyClicks(edit, keys);
    QTest::keyClick(edit, Qt::Key_Return);
    settle();
  }

  void openSample() {
    pwtest::CodePlugBuilder b;
    b.channel(0, "DMR", 2).channel(1, "FM", 1);
    b.u8(pw::kDtmfSystems + 8, 0x81).u8(pw::kDtmfSystems, 5);
    b.u8(pw::kDtmfEncodeStrings, 1).u8(pw::kDtmfEncodeStrings + 32, 1);  // strings 1 and 3
    openTab(&b, QSize(1000, 500), {}, "SystemListView");
  }

 private slots:
  void cleanup() { closeTab(); }

  void pagesHoldFixedGridsAndShowNothingWithoutImage() {
    openTab(nullptr, QSize(1000, 500), {}, "SystemListView");
    auto* pages = control<QTabWidget>("PageControl");
    QCOMPARE(pages->count(), 3);
    for (const char* name : {"SystemListView", "EncodeListView", "DecodeListView"})
      QCOMPARE(grid(name)->model()->rowCount(), 0);
    openSample();
    QCOMPARE(grid("SystemListView")->model()->rowCount(), 4);
    QCOMPARE(grid("EncodeListView")->model()->rowCount(), 32);
    QCOMPARE(grid("DecodeListView")->model()->rowCount(), 8);
  }

  void systemCellsToggleAndChooseOnlyTheirBits() {
    openSample();
    QTableView* systems = grid("SystemListView");
    QCOMPARE(at(systems, 0, 2), QString("Yes"));
    doubleClickCell(systems, 0, 2);
    QCOMPARE(at(systems, 0, 2), QString());
    doubleClickCell(systems, 0, 2);
    QCOMPARE(byte(pw::kDtmfSystems + 8), 0x81u);

    choose(systems, 0, 3, "Pre & Post");
    QCOMPARE(byte(pw::kDtmfSystems + 8), 0x8Du);
    QCOMPARE(at(systems, 0, 3), QString("Pre & Post"));

    // "1st Digit Delay" 5 is not offered: the list opens on nothing and keeps it.
    QCOMPARE(at(systems, 0, 9), QString("Unknown"));
    QCOMPARE(openChoices(systems, 0, 9).first(), QString("100 ms"));
    QCOMPARE(openChoice(), QString());
    dismissChoices();
    QCOMPARE(byte(pw::kDtmfSystems), 5u);

    doubleClickCell(systems, 1, 7);  // KeyUp Encode: only DTMF digits are typed
    type("1x2a#");
    QCOMPARE(at(systems, 1, 7), QString("12a#"));  // as typed, until the next refresh
    QCOMPARE(byte(pw::kDtmfSystems + 48 + 16), 4u);
    form->refresh(false, 0);
    QCOMPARE(at(systems, 1, 7), QString("12A#"));
  }

  void encodeStringOneKeepsAHashAndAckOffersThePresentStrings() {
    openSample();
    QTableView* encode = grid("EncodeListView");
    control<QTabWidget>("PageControl")->setCurrentIndex(1);
    settle();
    doubleClickCell(encode, 0, 1);  // any column edits the string
    type("");
    QCOMPARE(at(encode, 0, 2), QString("#"));
    QCOMPARE(byte(pw::kDtmfEncodeStrings + 1), 0xFFu);
    doubleClickCell(encode, 4, 2);
    pasteText(control<QLineEdit>("listViewEdit"), "5 6,d-7");  // pasted text keeps only digits
    QTest::keyClick(control<QLineEdit>("listViewEdit"), Qt::Key_Return);
    settle();
    QCOMPARE(at(encode, 4, 2), QString("56d7"));

    QTableView* decode = grid("DecodeListView");
    control<QTabWidget>("PageControl")->setCurrentIndex(2);
    settle();
    QCOMPARE(openChoices(decode, 0, 4), (QStringList{"None", "Encode 1", "Encode 3", "Encode 5"}));
    dismissChoices();
    choose(decode, 0, 4, "Encode 3");
    QCOMPARE(byte(pw::kDtmfDecodeEntries + 18), 3u);
    QCOMPARE(at(decode, 0, 4), QString("Encode 3"));
    QCOMPARE(openChoices(decode, 0, 5), (QStringList{"Selected", "FM"}));
    QCOMPARE(openChoice(), QString("Selected"));
    dismissChoices();
    choose(decode, 0, 5, "FM");
    QCOMPARE(pw::u16le(doc->image(), pw::kDtmfDecodeEntries + 20), 2u);

    // "12" with digits beyond its count: refused keys and Enter leave every byte as it was.
    const std::uint8_t stored[] = {2, 0x21, 0x43, 0x65};
    for (std::size_t i = 0; i < 4; ++i) doc->image()[pw::kDtmfEncodeStrings + 16 + i] = stored[i];
    form->refresh(false, 0);
    const auto before = doc->workingImage;
    control<QTabWidget>("PageControl")->setCurrentIndex(1);
    settle();
    doubleClickCell(encode, 1, 2);
    QTest::keyClicks(control<QLineEdit>("listViewEdit"), "xe");
    QTest::keyClick(control<QLineEdit>("listViewEdit"), Qt::Key_Return);
    QCOMPARE(at(encode, 1, 2), QString("12"));
    QVERIFY(doc->workingImage == before);
  }
};

QTEST_MAIN(DtmfFormTest)
#include "dtmfform_uitest.moc"
