// The wizard's sources: a messy repeater list in JSON and in the CSV layout, talkgroup lists
// in their three shapes.
#include "exchange/Repeaters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/CodePlugBuilder.h"

namespace pw::exchange {
namespace {

// What real copies hold: numbers as text and as numbers, nulls, missing fields, inactive
// entries, another band, a repeated entry, accents, other scripts, offsets in every spelling,
// a byte order mark and a Latin-1 byte (0xE9) in an otherwise UTF-8 file.
const std::string kMessy =
    "\xEF\xBB\xBF{\"rptrs\": [\n"
    " {\"id\": 1, \"callsign\": \"DB0AA\", \"city\": \"K\xC3\xB6ln\", \"state\": \"NRW\", \"country\": "
    "\"Germany\","
    "  \"frequency\": \"439.56250\", \"offset\": \"-7.600\", \"color_code\": 1, \"ipsc_network\": "
    "\"BrandMeister\","
    "  \"lat\": \"50.94\", \"lng\": 6.96, \"status\": \"Active\"},\n"
    " {\"id\": 2, \"callsign\": \"DB0BB\", \"city\": null, \"frequency\": 438.2125, \"offset\": 7.6,"
    "  \"color_code\": \"7\", \"ipsc_network\": null, \"lat\": null, \"lng\": \"\"},\n"
    " {\"callsign\": \"DB0CC\", \"frequency\": \"439.000\", \"offset\": \"+5.000\", \"color_code\": \"1.0\","
    "  \"status\": \"Inactive\", \"lat\": 0, \"lng\": 0},\n"
    " {\"callsign\": \"DB0DD\", \"frequency\": \"145.6000\", \"offset\": \"-0.600 MHz\", \"color_code\": "
    "3},\n"
    " {\"callsign\": \"DB0EE\", \"frequency\": \"430.4\", \"offset\": \"0\", \"color_code\": 2},\n"
    " {\"callsign\": \"DB0FF\", \"frequency\": \"439,1\", \"offset\": \"-600 kHz\", \"color_code\": 4,"
    "  \"city\": \"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0\", \"trustee\": \"Ren\xE9\"},\n"
    " {\"callsign\": \"DB0GG\", \"frequency\": \"abc\", \"offset\": \"-7.6\", \"color_code\": 1},\n"
    " {\"callsign\": \"DB0HH\", \"frequency\": \"439.1\", \"color_code\": 1},\n"
    " {\"callsign\": \"DB0II\", \"frequency\": \"439.1\", \"offset\": \"-7.6\", \"color_code\": 16},\n"
    " {\"callsign\": \"DB0JJ\", \"frequency\": \"439.1\", \"offset\": \"--7.6\", \"color_code\": 1},\n"
    " {\"callsign\": \"\", \"frequency\": \"439.1\", \"offset\": \"-7.6\", \"color_code\": 1},\n"
    " 42,\n"
    " {\"callsign\": \"DB0KK\", \"frequency\": \"439.1\", \"offset\": \"-7.6\", \"color_code\": null}\n"
    "]}";

std::vector<std::string> skipLines(const Report& r) {
  std::vector<std::string> out;
  for (const Skip& s : r.skipped) out.push_back(skipLine(s));
  return out;
}

TEST(RepeaterListTest, ReadsWhatIsThereAndNamesEveryEntryItCannotUse) {
  const RepeaterPlan plan = readRepeaterText(kMessy);
  ASSERT_TRUE(plan.readable()) << plan.report.failure;
  ASSERT_EQ(plan.rows.size(), 6u);
  const RepeaterRow& a = plan.rows[0];
  EXPECT_EQ(a.city, "K\xC3\xB6ln");
  EXPECT_EQ(a.rxHz, 439'562'500);
  EXPECT_EQ(a.txHz, 431'962'500);
  EXPECT_TRUE(a.hasPosition);
  EXPECT_DOUBLE_EQ(a.lng, 6.96);
  EXPECT_FALSE(a.inactive());
  const RepeaterRow& b = plan.rows[1];  // numbers as numbers, nulls, an unsigned offset
  EXPECT_EQ(b.rxHz, 438'212'500);
  EXPECT_EQ(b.txHz, 445'812'500);
  EXPECT_EQ(b.colourCode, 7);
  EXPECT_EQ(b.network, "");
  EXPECT_FALSE(b.hasPosition);
  EXPECT_TRUE(plan.rows[2].inactive());
  EXPECT_FALSE(plan.rows[2].hasPosition);  // 0, 0: nobody entered a position
  EXPECT_EQ(plan.rows[2].colourCode, 1);
  EXPECT_EQ(plan.rows[3].txHz, 145'000'000);  // "-0.600 MHz"
  EXPECT_EQ(plan.rows[4].txHz, plan.rows[4].rxHz);
  EXPECT_EQ(plan.rows[5].rxHz, 439'100'000);  // a decimal comma
  EXPECT_EQ(plan.rows[5].txHz, 438'500'000);  // "-600 kHz"
  EXPECT_EQ(plan.rows[5].city, "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0");
  EXPECT_EQ(skipLines(plan.report), (std::vector<std::string>{
                                        "DB0GG: frequency \"abc\" is not a number",
                                        "DB0HH: no offset",
                                        "DB0II: colour code \"16\" is not 0..15",
                                        "DB0JJ: offset \"--7.6\" is not a number",
                                        "entry 11: no callsign",
                                        "entry 12: not a repeater (an object)",
                                        "DB0KK: no colour code",
                                    }));
}

TEST(RepeaterListTest, ALatin1FileIsReadAndSaidSo) {
  // The stray byte becomes its Latin-1 letter instead of the whole list being refused.
  const std::string path = pwtest::testTempDir() + "/latin1.json";
  const std::string text =
      "{\"rptrs\": [{\"callsign\": \"DB0\xC4\", \"frequency\": \"439.1\", \"offset\": \"0\","
      " \"color_code\": 1, \"city\": \"M\xFCnster\"}]}";
  pwtest::writeFile(path, {text.begin(), text.end()});
  const RepeaterPlan plan = readRepeaterFile(path);
  ASSERT_EQ(plan.rows.size(), 1u);
  EXPECT_EQ(plan.rows[0].callsign, "DB0\xC3\x84");
  EXPECT_EQ(plan.rows[0].city, "M\xC3\xBCnster");
  ASSERT_EQ(plan.report.notes.size(), 1u);
  EXPECT_EQ(plan.report.notes[0].text, "the file is not UTF-8: 2 bytes were read as Latin-1 characters");
}

TEST(RepeaterListTest, TheCsvLayoutReadsByNameAndTheRestIsRefusedWithAReason) {
  const RepeaterPlan csv = readRepeaterText(
      "Network,CALLSIGN,frequency,offset,color_code,city,lat,lng\r\n"
      "BrandMeister,DB0AA,439.5625,-7.6,1,Essen,51.4,7.0\r\n"
      ",DB0BB,439.1,,1,Essen,,\r\n");
  ASSERT_TRUE(csv.readable());
  ASSERT_EQ(csv.rows.size(), 1u);
  EXPECT_EQ(csv.rows[0].network, "BrandMeister");
  EXPECT_EQ(csv.rows[0].line, 2);
  EXPECT_EQ(skipLines(csv.report), std::vector<std::string>{"DB0BB: no offset"});
  EXPECT_FALSE(readRepeaterText("{\"repeaters\": []}").readable());
  EXPECT_FALSE(readRepeaterText("{\"rptrs\": [").readable());
  EXPECT_NE(readRepeaterText("{\"rptrs\": [\n\n}").report.failure.find("line 3"), std::string::npos);
  EXPECT_FALSE(readRepeaterText("name,number\r\nx,1\r\n").readable());
}

TEST(TalkgroupListTest, AnObjectAnArrayAndACsvGiveTheSameTalkgroups) {
  const auto names = [](const TalkgroupPlan& plan) {
    std::vector<std::pair<std::uint32_t, std::string>> out;
    for (const TalkgroupRow& row : plan.rows) out.emplace_back(row.id, row.name);
    std::sort(out.begin(), out.end());
    return out;
  };
  const std::vector<std::pair<std::uint32_t, std::string>> expected{{9, "Local"}, {91, "World-wide"}};
  EXPECT_EQ(names(readTalkgroupText("{\"91\": \"World-wide\", \"9\": \"Local\"}")), expected);
  EXPECT_EQ(
      names(readTalkgroupText("[{\"id\": 91, \"name\": \"World-wide\"}, {\"id\": \"9\", \"name\": \"Local\"},"
                              " {\"id\": 91, \"name\": \"Again\"}]")),
      expected);
  const TalkgroupPlan csv = readTalkgroupText("id,name\n91,World-wide\n9,Local\nx,Bad\n0,Zero\n");
  EXPECT_EQ(names(csv), expected);
  EXPECT_EQ(skipLines(csv.report), (std::vector<std::string>{
                                       "line 4: id \"x\" is not a talkgroup ID (1..16777215)",
                                       "line 5: id \"0\" is not a talkgroup ID (1..16777215)",
                                   }));
  const TalkgroupPlan bad = readTalkgroupText("{\"91\": 5, \"abc\": \"x\"}");
  EXPECT_EQ(skipLines(bad.report),
            (std::vector<std::string>{"talkgroup 91: name \"5\" is not a text",
                                      "talkgroup abc: id \"abc\" is not a talkgroup ID (1..16777215)"}));
}

}  // namespace
}  // namespace pw::exchange
