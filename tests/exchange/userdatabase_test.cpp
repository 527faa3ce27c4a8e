// The DMR user database as a contact source: reading a messy file, filters, the plan and
// what applying it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/RecordList.h"
#include "contacts/ContactList.h"
#include "exchange/UserDatabase.h"
#include "support/CodePlugBuilder.h"
#include "support/UserDatabaseFixture.h"

namespace pw::exchange {
namespace {

using pwtest::CodePlugBuilder;

// Columns in another order and case, extra columns, a byte order mark, CRLF and LF, quoted
// fields with commas, doubled quotes and a line break, short rows, bad and duplicate IDs.
const std::string kMessy =
    "\xEF\xBB\xBF"
    "Callsign,radio_id ,FIRST_NAME,LAST_NAME,CITY,STATE,COUNTRY,REMARKS,MORE\r\n"
    "DL1ABC,2620001,Jane,Doe,\"Stoke, Staffs\",,Germany,,x\r\n"     // 2
    "DL2XYZ,2620002,\"Jane \"\"JJ\"\" Marie\",Roe,Berlin,BE,germany\r\n"  // 3: cut to 16
    "XX1X,abc,Bad,,,,Germany\r\n"                                   // 4: not a number
    "XX2X,0,Zero\r\n"                                               // 5: below 1
    "XX3X,16777216,Big\r\n"                                         // 6: above 16777215
    "W1AW,16777215,Max,,\"Line\nbreak\",,United States\r\n"         // 7-8
    ",3100001,NoCall,,,,United States\r\n"                          // 9: no callsign
    " , \r\n"                                                       // 10: no record
    "DL9DUP,2620001,Dup,,,,Germany\r\n"                             // 11: ID again
    "OE1ABC,2320001,Jos\xC3\xA9\n"                                  // 12: short row, no country
    "\r\n"
    "G4ABC,2340001,Ann,,,,\"United Kingdom\r\n";                    // 14: quote never closed

Database messy() {
  Database db;
  EXPECT_EQ(readDatabaseText(kMessy, db), ReadStatus::Ok);
  return db;
}

std::vector<int> lines(const Database& db) {
  std::vector<int> out;
  for (const auto& r : db.rows()) out.push_back(int(r.line));
  return out;
}

TEST(UserDatabaseTest, ReadingKeepsWellFormedRowsAndNamesEveryMalformedOne) {
  const Database db = messy();
  EXPECT_EQ(lines(db), (std::vector<int>{2, 3, 7, 11, 12}));
  ASSERT_EQ(db.rows().size(), 5u);
  EXPECT_EQ(db.rows()[0].id, 2620001u);
  EXPECT_EQ(db.rows()[2].id, 16777215u);
  EXPECT_EQ(db.contactName(db.rows()[0]), "DL1ABC Jane");
  EXPECT_EQ(db.contactName(db.rows()[1]), "DL2XYZ Jane \"JJ\"");
  EXPECT_EQ(db.contactName(db.rows()[4]), "OE1ABC Jose");  // the name rule: without accents
  EXPECT_EQ(db.callsign(db.rows()[3]), "DL9DUP");

  std::vector<std::string> bad;
  std::vector<Reason> kinds;
  for (const Skip& m : db.malformed()) {
    bad.push_back(skipLine(m));
    kinds.push_back(m.reason);
  }
  EXPECT_EQ(bad, (std::vector<std::string>{"line 4: RADIO_ID is not a whole number in 1..16777215",
                                           "line 5: RADIO_ID is not a whole number in 1..16777215",
                                           "line 6: RADIO_ID is not a whole number in 1..16777215",
                                           "line 9: no CALLSIGN",
                                           "line 14: a quoted field opened on line 14 is not closed"}));
  using enum Reason;
  EXPECT_EQ(kinds, (std::vector<Reason>{NotHeld, NotHeld, NotHeld, Missing, OpenQuote}));

  // Countries by name, case ignored, spelled as first met; the short row has none.
  std::vector<std::pair<std::string, int>> countries;
  for (const auto& c : db.countries()) countries.emplace_back(c.name, c.rows);
  EXPECT_EQ(countries, (std::vector<std::pair<std::string, int>>{{"", 1}, {"Germany", 3}, {"United States", 1}}));
}

TEST(UserDatabaseTest, NamesFollowTheNameRuleAndTheChangedOnesAreCounted) {
  Database db;
  ASSERT_EQ(readDatabaseText("RADIO_ID,CALLSIGN,FIRST_NAME\n"
                             "2500001,ua1abc,\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\n"  // Cyrillic: nothing left
                             "2620003,DL3A,J\xC3\xBCrgen\n"
                             "2620004,dl4b,Jane\n"
                             "2620005,DL5C,Ren\xE9\n"          // an 8-bit file's letter
                             "2620006,DL6D,Zo\xC3\xBF Ann\n"  // as 0xFF, it would end the stored name
                             "2500002,\xD0\x98\xD0\xB2,Ivan\n",  // a contact without a name would be lost
                             db),
            ReadStatus::Ok);
  std::vector<std::string> names;
  for (const auto& row : db.rows()) names.push_back(db.contactName(row));
  EXPECT_EQ(names,
            (std::vector<std::string>{"UA1ABC", "DL3A Jurgen", "DL4B Jane", "DL5C Rene", "DL6D Zoy Ann"}));
  ASSERT_EQ(db.malformed().size(), 1u);
  EXPECT_EQ(skipLine(db.malformed()[0]), "line 7: CALLSIGN is not written in characters a name can hold");
  CodePlugDocument doc;
  ASSERT_EQ(CodePlugBuilder().loadInto(doc), 0);
  EXPECT_EQ(makePlan(doc, db, {}).report.namesChanged, 4);
  EXPECT_EQ(makePlan(doc, db, {.callsignPrefixes = {"DL4", "UA"}}).report.namesChanged, 1);
  EXPECT_EQ(namesNote(999), "note: 999 names written without accents");
  EXPECT_EQ(namesNote(1000), "note: 1,000 names written without accents");
}

TEST(UserDatabaseTest, OnlyTheDatabaseHeaderIsTakenForOne) {
  const std::string dir = pwtest::testTempDir();
  const auto write = [&](const std::string& name, const std::string& text) {
    pwtest::writeFile(dir + "/" + name, std::vector<std::uint8_t>(text.begin(), text.end()));
    return dir + "/" + name;
  };
  EXPECT_TRUE(isUserDatabaseFile(write("db.txt", kMessy)));
  EXPECT_FALSE(isUserDatabaseFile(write("contacts.csv", "9,Local Net,-\n2345678,Z9ZZ,Pat\n")));
  EXPECT_FALSE(isUserDatabaseFile(write("sectioned.txt", "[CONTACTS]\ncount=1\n")));
  EXPECT_FALSE(isUserDatabaseFile(write("binary.csv", std::string("RADIO_ID,CALL\0SIGN\n", 19))));
  EXPECT_FALSE(isUserDatabaseFile(dir + "/missing.csv"));

  Database db = messy();
  EXPECT_EQ(readDatabaseText("9,Local Net,-\n", db), ReadStatus::NotUserDatabase);
  EXPECT_EQ(readDatabaseText(std::string("RADIO_ID,CALLSIGN\n1,A\0\n", 23), db), ReadStatus::NotText);
  EXPECT_EQ(readDatabase(dir + "/missing.csv", db), ReadStatus::CannotOpen);
  EXPECT_EQ(db.rows().size(), 5u);  // a failed read leaves what was read before
}

TEST(UserDatabaseTest, ProgressIsReportedAndCancelStopsTheRead) {
  const std::string path = pwtest::writeUserDatabase("progress.csv", 20000);
  Database db;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
  ASSERT_EQ(readDatabase(path, db, [&](std::uint64_t done, std::uint64_t total) {
              reports.emplace_back(done, total);
              return true;
            }),
            ReadStatus::Ok);
  EXPECT_EQ(db.rows().size(), 20000u);
  EXPECT_EQ(db.countries().size(), 40u);
  ASSERT_GE(reports.size(), 4u);
  EXPECT_LT(reports.front().first, reports.front().second);
  EXPECT_EQ(reports.back().first, reports.back().second);

  Database cancelled = messy();
  EXPECT_EQ(readDatabase(path, cancelled, [](std::uint64_t, std::uint64_t) { return false; }), ReadStatus::Cancelled);
  EXPECT_EQ(cancelled.rows().size(), 5u);
}

TEST(UserDatabaseTest, FiltersPresentRowsAndRoom) {
  const Database db = messy();
  CodePlugDocument doc;
  CodePlugBuilder b;
  b.contact(0, "Max", 16777215, kPrivateCall);
  ASSERT_EQ(b.loadInto(doc), 0);
  const auto image = doc.workingImage;

  const auto added = [&](const DatabasePlan& p) {
    std::vector<int> out;
    for (auto i : p.rows) out.push_back(int(db.rows()[i].line));
    return out;
  };
  // The plug holds 16777215; 2620001 comes twice: present both times.
  DatabasePlan p = makePlan(doc, db, {});
  EXPECT_EQ(added(p), (std::vector<int>{2, 3, 12}));
  EXPECT_EQ(std::vector<int>({matching(p), p.report.present, p.report.noRoom}), std::vector<int>({5, 2, 0}));

  p = makePlan(doc, db, {.idPrefixes = splitList("262, 9")});
  EXPECT_EQ(added(p), (std::vector<int>{2, 3}));
  EXPECT_EQ(p.report.present, 1);
  EXPECT_EQ(added(makePlan(doc, db, {.countries = {" GERMANY"}})), (std::vector<int>{2, 3}));
  EXPECT_EQ(added(makePlan(doc, db, {.countries = {"Germany", "united states"}})), (std::vector<int>{2, 3}));
  EXPECT_EQ(matching(makePlan(doc, db, {.countries = {"Atlantis"}})), 0);
  EXPECT_EQ(added(makePlan(doc, db, {.callsignPrefixes = {"dl2", "oe"}})), (std::vector<int>{3, 12}));
  EXPECT_EQ(matching(makePlan(doc, db, {.idPrefixes = {"262"}, .callsignPrefixes = {"OE"}})), 0);
  EXPECT_EQ(doc.workingImage, image);  // planning writes nothing

  // One slot left: the first new row fits, the rest are counted.
  CodePlugBuilder full;
  for (int i = 0; i < kContactCount - 1; ++i) full.contact(i, "C" + std::to_string(i), std::uint32_t(i + 1));
  CodePlugDocument fullDoc;
  ASSERT_EQ(full.loadInto(fullDoc), 0);
  p = makePlan(fullDoc, db, {});
  EXPECT_EQ(added(p), std::vector<int>{2});
  EXPECT_EQ(std::vector<int>({p.report.present, p.report.noRoom}), std::vector<int>({1, 3}));
}

TEST(UserDatabaseTest, ApplyingAppendsPrivateCallsAfterTheLastContact) {
  const Database db = messy();
  CodePlugDocument doc;
  CodePlugBuilder b;
  b.contact(0, "Local Net", 9).contact(1, "Base", 12);
  ASSERT_EQ(b.loadInto(doc), 0);
  const DatabasePlan p = makePlan(doc, db, {.countries = {"germany", ""}});
  const Report report = applyPlan(doc, db, p);
  ASSERT_EQ(report.added, (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(report.skipped.size(), db.malformed().size());
  EXPECT_EQ(usedCount(doc, ListId::Contacts), 5);
  EXPECT_EQ(recordName(doc, ListId::Contacts, 1), "Base");
  EXPECT_EQ(recordName(doc, ListId::Contacts, 2), "DL1ABC Jane");
  EXPECT_EQ(recordName(doc, ListId::Contacts, 4), "OE1ABC Jose");
  const ByteSpan r = recordBytes(doc, ListId::Contacts, 3);
  EXPECT_EQ(std::vector<std::uint8_t>(r.begin(), r.begin() + 4), (std::vector<std::uint8_t>{0x62, 0xFA, 0x27, 0xC2}));
  EXPECT_EQ(r[4 + 2 * 15], '"');  // sixteen characters, the last one kept
  EXPECT_EQ(contactCallType(doc, 4), kPrivateCall);
  EXPECT_FALSE(contactRxTone(doc, 4));
}

}  // namespace
}  // namespace pw::exchange
