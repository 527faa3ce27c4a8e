// The GPS tab through its named grid: the drop-downs over each column, what they offer
// and select, and the "no setting" value each system stores.

#include <QTest>

#include "codeplug/Bytes.h"
#include "signalling/ui/GPSForm.h"
#include "support/ui/TabHarness.h"

using namespace pwtest::ui;

class GpsFormTest : public QObject, TabHarness<TGPSForm> {
  Q_OBJECT

  enum { GpsColumn = 1, RevertColumn, IntervalColumn, ContactColumn };
  static std::size_t record(int g) { return pw::kGps + std::size_t(g) * pw::kGpsSize; }
  unsigned word(std::size_t at) const { return pw::u16le(doc->image(), at); }
  unsigned byte(std::size_t at) const { return pw::u8(doc->image(), at); }

  void openSample() {
    pwtest::CodePlugBuilder b;
    b.channel(0, "FM", 1).channel(1, "DMR A", 2).channel(2, "DMR B", 2).contact(0, "Base", 99);
    b.u16(record(0), 1).u8(record(2) + 2, 10);
    openTab(&b, QSize(700, 500));
  }

 private slots:
  void cleanup() { closeTab(); }

  void withoutImageTheListIsEmpty() {
    openTab(nullptr, QSize(700, 500));
    QCOMPARE(rowCount(), 0);
  }

  void showsSixteenSystemsAndOffersOnlyDigitalChannels() {
    openSample();
    QCOMPARE(rowCount(), 16);
    QCOMPARE(cell(15, GpsColumn), QString("16"));

    // An analogue revert channel is shown but not offered: the list opens on nothing.
    QCOMPARE(cell(0, RevertColumn), QString("FM"));
    QCOMPARE(openChoices(view, 0, RevertColumn), (QStringList{"Current Channel", "DMR A", "DMR B"}));
    QCOMPARE(openChoice(), QString());
    dismissChoices();
    QCOMPARE(word(record(0)), 1u);
  }

  void choicesStoreEachSystemsOwnNoSettingValue() {
    openSample();
    choose(view, 4, RevertColumn, "DMR B");
    QCOMPARE(word(record(4)), 3u);
    choose(view, 4, RevertColumn, "Current Channel");
    QCOMPARE(word(record(4)), 0xFFFFu);
    QCOMPARE(cell(4, RevertColumn), QString("Current Channel"));
    openChoices(view, 4, RevertColumn);
    QCOMPARE(openChoice(), QString("Current Channel"));
    dismissChoices();

    QCOMPARE(cell(2, IntervalColumn), QString("300 secs"));
    choose(view, 2, IntervalColumn, "60 secs");
    QCOMPARE(byte(record(2) + 2), 2u);
    QCOMPARE(cell(2, IntervalColumn), QString("60 secs"));
    choose(view, 2, IntervalColumn, "Off");
    QCOMPARE(byte(record(2) + 2), 0xFFu);
    choose(view, 0, ContactColumn, "Base");
    choose(view, 0, ContactColumn, "None");
    QCOMPARE(word(record(0) + 4), 0u);
    QCOMPARE(cell(0, ContactColumn), QString("None"));
  }
};

QTEST_MAIN(GpsFormTest)
#include "gpsform_uitest.moc"
