// GPS systems: system 1 stores "no setting" as 0, systems 2..16 as all ones, and both
// read back alike; values that name nothing in use show as no setting and are kept.
#include "signalling/Gps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/CodePlugBuilder.h"
#include "support/FieldCheck.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;
using enum GpsField;

std::size_t record(int g) { return kGps + std::size_t(g) * kGpsSize; }

class GpsTest : public ::testing::Test {
 protected:
  void load(const CodePlugBuilder& b) { ASSERT_EQ(b.loadInto(doc), 0); }
  CodePlugDocument doc;
};

TEST_F(GpsTest, EverySetterWritesOnlyItsFieldOnRecordsOfZerosAndOnes) {
  load(CodePlugBuilder());
  for (int g : {0, 3})
    pwtest::expectEachFieldWritesOnlyItsBits(
        doc, record(g), kGpsSize, kGpsFields, [&](GpsField f, std::uint32_t v) { return setGpsField(doc, g, f, v); },
        [&](GpsField f) { return gpsCode(doc, g, f); }, [](GpsField) { return 7u; });
}

TEST_F(GpsTest, NoSettingIsZeroForSystemOneAndAllOnesForTheOthers) {
  load(CodePlugBuilder().u8(record(0) + 2, 10).u8(record(1) + 2, 10));
  ASSERT_TRUE(setGpsReportInterval(doc, 0, 0));
  ASSERT_TRUE(setGpsReportInterval(doc, 1, 0));
  EXPECT_EQ(u8(doc.image(), record(0) + 2), 0);
  EXPECT_EQ(u8(doc.image(), record(1) + 2), 0xFF);
  ASSERT_TRUE(setGpsRevertChannel(doc, 4, 0));
  ASSERT_TRUE(setGpsContact(doc, 4, 1001));
  ASSERT_TRUE(setGpsContact(doc, 0, 1001));
  EXPECT_EQ(u16le(doc.image(), record(4)), 0xFFFF);
  EXPECT_EQ(u16le(doc.image(), record(4) + 4), 0xFFFF);
  EXPECT_EQ(u16le(doc.image(), record(0) + 4), 0);
  for (int g : {0, 1, 4}) {
    EXPECT_EQ(gpsText(doc, g, ReportInterval), "Off");
    EXPECT_EQ(gpsCode(doc, g, RevertChannel), 0u);  // the editor opens on the first choice
    EXPECT_EQ(gpsText(doc, g, RevertChannel), "Current Channel");
    EXPECT_EQ(gpsText(doc, g, Contact), "None");
  }
  EXPECT_FALSE(setGpsContact(doc, 16, 1));
}

// What the GPS tab shows and offers for records in use, and the codes its picks store, are
// proven through its grid (gpsform_uitest).
TEST_F(GpsTest, CellsNameOnlyRecordsInUseAndTheIntervalsEndAtTwoHours) {
  CodePlugBuilder b;
  b.channel(0, "FM", 1).channel(1, "DMR", 2).contact(0, "Base", 99);
  b.u16(record(1), 2).u16(record(2), 900).u8(record(1) + 2, 241).u16(record(1) + 4, 1200);
  load(b);
  EXPECT_EQ(gpsText(doc, 1, RevertChannel), "DMR");
  EXPECT_EQ(gpsText(doc, 2, RevertChannel), "Current Channel");  // not in use
  EXPECT_EQ(gpsText(doc, 1, ReportInterval), "Off");
  EXPECT_EQ(gpsText(doc, 1, Contact), "None");
  EXPECT_EQ(gpsChoices(doc, ReportInterval).size(), 241u);
  EXPECT_EQ(gpsChoices(doc, ReportInterval).back().text, "7200 secs");
  EXPECT_EQ(gpsChoices(doc, Contact).size(), 2u);
}

}  // namespace
}  // namespace pw
