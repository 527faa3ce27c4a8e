#include "codeplug/Encodings.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pw {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes unitsToBytes(std::initializer_list<std::uint16_t> units, std::size_t n) {
  Bytes bytes(2 * n, 0);
  std::size_t i = 0;
  for (auto u : units) {
    bytes[2 * i] = static_cast<std::uint8_t>(u & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(u >> 8);
    ++i;
  }
  return bytes;
}

// ---- Names ----

TEST(NameEncoding, DecodeStopsAtTerminatorsTrimsAndFallsBack) {
  EXPECT_EQ(decodeName(unitsToBytes({'A', 'b', 0x0000, 'X'}, 16), 16), "Ab");
  EXPECT_EQ(decodeName(unitsToBytes({'A', 'b', 0x00FF, 'X'}, 16), 16), "Ab");
  // The high byte is ignored; trailing controls are trimmed.
  EXPECT_EQ(decodeName(unitsToBytes({' ', 'A', 0x4142, 0x0009}, 16), 16), "AB");
  EXPECT_EQ(decodeName(unitsToBytes({'A', 'B', 'C'}, 16), 2), "AB");
  EXPECT_EQ(decodeName(unitsToBytes({0x0020}, 16), 16, 7), "no_name-7");
  EXPECT_EQ(decodeName(unitsToBytes({0x0020}, 16), 16), "");
  EXPECT_EQ(decodeName(unitsToBytes({0x0000, 'A'}, 16), 16, 7), "");  // free slot
  EXPECT_EQ(decodeName(unitsToBytes({'A'}, 16), 0, 7), "");
  EXPECT_EQ(decodeName(unitsToBytes({'A'}, 4), 16, 7), "");  // field shorter than N units
}

TEST(NameEncoding, SixteenCharactersFillTheFieldAndTheSeventeenthIsDropped) {
  Bytes field(34, 0xAA);  // one unit more than the field, to catch overruns
  encodeName(std::span(field).first(32), 16, "ABCDEFGHIJKLMNOPQ");
  EXPECT_EQ(field[30], 'P');
  EXPECT_EQ(field[32], 0xAA);
  EXPECT_EQ(decodeName(field, 16), "ABCDEFGHIJKLMNOP");
}

TEST(NameEncoding, EncodeClearsOldUnitsAndSignExtends) {
  Bytes field = unitsToBytes({'L', 'o', 'n', 'g', 'e', 'r'}, 16);
  encodeName(field, 16, "x\xE9");
  EXPECT_EQ(field, unitsToBytes({'x', 0xFFE9}, 16));
  EXPECT_EQ(decodeName(field, 16), "x\xE9");
}

// ---- BCD and tones ----

TEST(Bcd, PacksDecimalDigitsAndAnOversizedThousandsPlace) {
  EXPECT_EQ(packBcd4(0), 0x0000);
  EXPECT_EQ(packBcd4(1234), 0x1234);
  EXPECT_EQ(packBcd4(8023), 0x8023);
  EXPECT_EQ(packBcd4(12023), 0xC023);
  EXPECT_EQ(packBcd4(15999), 0xF999);
}

TEST(Tones, WordsTextsAndChoicesAgree) {
  const auto& choices = toneChoices();
  ASSERT_EQ(choices.size(), 259u);
  for (std::size_t i = 0; i < choices.size(); ++i)  // every word selects its own choice
    EXPECT_EQ(toneChoiceIndex(choices[i].word), static_cast<int>(i)) << choices[i].text;
  // Both ends of each run: none, tones (three and four digits), DCS codes, inverted DCS codes.
  const struct {
    int choice;
    std::uint16_t word;
    const char* text;
  } cases[] = {{0, 0xFFFF, "None"},      {1, 0x0670, "67.0 Hz"}, {13, 0x1000, "100.0 Hz"},
               {50, 0x2541, "254.1 Hz"}, {51, 0x8023, "D 23"},   {154, 0x8754, "D 754"},
               {155, 0xC023, "D 23 inv"}, {258, 0xC754, "D 754 inv"}};
  for (const auto& c : cases) {
    EXPECT_EQ(toneWordFor(c.choice), c.word) << c.text;
    EXPECT_EQ(choices[std::size_t(c.choice)].text, c.text);
    EXPECT_EQ(toneText(c.word), c.text);
  }
  EXPECT_EQ(toneText(0x0000), "None");
  EXPECT_EQ(toneChoiceIndex(0x0000), 0);
  EXPECT_EQ(toneText(0x0694), "");
  EXPECT_EQ(toneChoiceIndex(0x8024), -1);
  EXPECT_EQ(toneWordFor(-1), 0xFFFF);
  EXPECT_EQ(toneWordFor(259), 0xFFFF);
}

// ---- Frequencies ----

TEST(FrequencyText, ShowsNibblesMostSignificantFirst) {
  EXPECT_EQ(frequencyText(0x43850000), "438.50000");
  EXPECT_EQ(frequencyText(0x14512345), "145.12345");
  EXPECT_EQ(frequencyText(0x00000000), "000.00000");
  EXPECT_EQ(frequencyText(0xA00000FB), ":00.000?;");  // nibbles above 9 are not validated
}

TEST(ParseFrequency, GivesTheStoredWordClampedIntoTheBand) {
  const struct {
    const char* text;
    int rangeCode;
    std::optional<std::uint32_t> word;
  } cases[] = {{"438.5", 2, 0x43850000},       {"438,50000", 2, 0x43850000},
               {"4385", 2, 0x43850000},         // digits fill from the left
               {"43,85", 2, 0x40000000},        // 43.85 MHz, clamped up
               {"438,1234567", 2, 0x43812345},
               {"438.1234567", 2, 0x43812345},  // sixth decimal dropped
               {"4x3y8.5 MHz", 2, 0x43850000},
               {"438.5.1", 2, 0x43851000},  // later points skipped
               {"0438.5", 2, 0x43850000},
               {"43", 2, 0x40000000},   // 43 MHz, clamped up
               {"999", 2, 0x48000000},  // clamped down
               {"0", 0, 0x13600000},    {"150", 0, 0x15000000}, {"380", 1, 0x38000000},
               {"500", 3, 0x50000000},  {"500", 7, 0x50000000}, {"abc", 2, std::nullopt},
               {"", 2, std::nullopt},   {".", 2, std::nullopt}, {" ,. ", 0, std::nullopt},
               {"99999999999", 2, std::nullopt}};  // beyond int
  for (const auto& c : cases)
    EXPECT_EQ(parseFrequency(c.text, c.rangeCode), c.word) << '"' << c.text << "\" with range code " << c.rangeCode;
}

// ---- DTMF digit strings ----

TEST(DtmfDigits, PacksLowNibbleFirstAndPadsWithF) {
  std::array<std::uint8_t, 16> out{};
  packDtmfDigits(out, " 12ab*# ");
  Bytes expected{6, 0x21, 0xBA, 0xFE};
  expected.resize(16, 0xFF);
  EXPECT_EQ(Bytes(out.begin(), out.end()), expected);
  EXPECT_EQ(unpackDtmfDigits(out[0], std::span(out).subspan(1)), "12AB*#");

  // Skipped characters count against the limit.
  packDtmfDigits(out, "1,2,a,b,*,#");
  EXPECT_EQ(unpackDtmfDigits(out[0], std::span(out).subspan(1)), "12AB*#");
  packDtmfDigits(out, "1,2,3", 3);
  EXPECT_EQ(out[0], 2);
  EXPECT_EQ(out[1], 0x21);
  EXPECT_EQ(out[2], 0xFF);
}

TEST(DtmfDigits, EmptyAndFullStrings) {
  std::array<std::uint8_t, 16> out{};
  packDtmfDigits(out, "");
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[15], 0xFF);

  packDtmfDigits(out, std::string(35, '7'), 40);  // never more than 30 digits
  EXPECT_EQ(out[0], 30);
  EXPECT_EQ(out[15], 0x77);

  std::array<std::uint8_t, 15> digits{};
  digits.fill(0x98);
  EXPECT_EQ(unpackDtmfDigits(0, digits), "");
  EXPECT_EQ(unpackDtmfDigits(3, digits), "898");
  std::string thirty;
  for (int i = 0; i < 15; ++i) thirty += "89";
  EXPECT_EQ(unpackDtmfDigits(40, digits), thirty);
}

}  // namespace
}  // namespace pw
