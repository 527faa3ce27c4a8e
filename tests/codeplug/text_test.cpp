// The name rule: outside text as a name can hold it, over the scripts real lists hold; how
// names sort; trimming; what a name field's bytes read as; whole numbers from text.
#include "codeplug/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pw {
namespace {

TEST(NameFromOutside, LatinLettersLoseTheirMarksAndOtherScriptsAreDropped) {
  const struct {
    const char* script;
    const char* utf8;
    const char* name;
    bool replaced, dropped;
  } cases[] = {
      {"ASCII", "DL1ABC Jane ~!", "DL1ABC Jane ~!", false, false},
      {"French", "\xC3\x89mile Z\xC3\xA9ro \xC5\x92uvre", "Emile Zero OEuvre", true, false},
      {"German", "J\xC3\xBCrgen Gro\xC3\x9F \xE1\xBA\x9E", "Jurgen Gross SS", true, false},
      {"Polish", "\xC5\x81ukasz \xC5\xBB\xC3\xB3\xC5\x82\xC4\x87", "Lukasz Zolc", true, false},
      {"Czech",
       "\xC5\xA0\xC5\xA5"
       "astn\xC3\xBD",
       "Stastny", true, false},
      {"Turkish",
       "I\xC5\x9F\xC4\xB1l \xC3\x87"
       "a\xC4\x9F",
       "Isil Cag", true, false},
      {"Icelandic", "\xC3\x9E\xC3\xB3r \xC3\xBEj\xC3\xB3\xC3\xB0", "THor thjod", true, false},
      {"Danish", "S\xC3\xB8ren \xC3\x86r\xC3\xB8", "Soren AEro", true, false},
      {"Croatian",
       "\xC4\x90uro \xC4\x91"
       "ak",
       "Duro dak", true, false},
      {"Vietnamese", "Nguy\xE1\xBB\x85n V\xC4\x83n \xC4\x90\xE1\xBB\xA9\x63", "Nguyen Van Duc", true, false},
      {"Cyrillic", "UA1ABC \xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", "UA1ABC ", false, true},
      {"Greek", "\xCE\x93\xCE\xB9\xCF\x8E\xCF\x81\xCE\xB3\xCE\xBF\xCF\x82", "", false, true},
      {"Japanese", "JA1 \xE5\xB1\xB1\xE7\x94\xB0", "JA1 ", false, true},
      {"Hebrew", "4X1 \xD7\x93\xD7\x95\xD7\x93", "4X1 ", false, true},
      {"symbols", "\xF0\x9F\x93\xBB Net\xC2\xA0\xE2\x80\x93 \xC3\x97", " Net ", false, true},
      {"accents and others", "Jos\xC3\xA9 \xD0\x98", "Jose ", true, true},
      {"controls and DEL", "\tA\x01\x7F", "A\x7F", false, true},
      // A file saved in an 8-bit code: a byte that starts no UTF-8 sequence is its Latin-1 letter.
      {"Latin-1 bytes", "Jos\xE9 M\xFCller", "Jose Muller", true, false},
      {"cut sequence", "A\xC3", "AA", true, false},
      {"overlong and surrogate", "\xC0\xAF\xED\xA0\x80", "Ai", true, true},
      // U+00C0 and U+024F, U+1E00 and U+1EFF: the ends of the two tables of letters.
      {"the tables' ends", "\xC3\x80\xC9\x8F\xE1\xB8\x80\xE1\xBB\xBF", "AyAy", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    NameChanges changes;
    EXPECT_EQ(nameFromOutside(c.utf8, &changes), c.name);
    EXPECT_EQ(changes.replaced, c.replaced);
    EXPECT_EQ(changes.dropped, c.dropped);
  }
}

TEST(NameSortKey, StoredLettersFoldThroughTheSameLettersWithoutCase) {
  EXPECT_EQ(nameSortKey("\xC4rger"), "arger");
  EXPECT_EQ(nameSortKey("\xC9mile"), "emile");
  EXPECT_EQ(nameSortKey("Stra\xDF"
                        "e 7"),
            "strasse 7");
  EXPECT_EQ(nameSortKey("A\x80Z"), "az");  // a code with no letter takes no place
}

TEST(NameText, TrimmingAndReadingAFieldsBytes) {
  EXPECT_EQ(trimmed("\t \x01 a b \r\n"), "a b");
  EXPECT_EQ(trimmed(" \x1F "), "");
  EXPECT_EQ(trimmed("\xE9"), "\xE9");  // high codes are characters, not controls

  // 'A', 'B', 0xFFFF (shown names end at a low byte of 0xFF), 'C', 0x0100, 0.
  const std::vector<std::uint8_t> field{'A', 0, 'B', 0, 0xFF, 0xFF, 'C', 0, 0x00, 0x01, 0, 0, 'X', 0};
  EXPECT_EQ(nameBytes(field, 7), "AB");
  EXPECT_EQ(nameBytes(field, 7, NameEnd::Stored), std::string("AB\xFF"
                                                              "C\0",
                                                              5));
  EXPECT_EQ(nameBytes(field, 2, NameEnd::Stored), "AB");
  EXPECT_EQ(nameBytes(std::span(field).first(3), 7), "A");  // a short span ends the name
}

TEST(ParseInteger, DecimalHexSignsBlanksAndRanges) {
  EXPECT_EQ(parseInteger(" 42\t", 0, 100), 42);
  EXPECT_EQ(parseInteger("101", 0, 100), std::nullopt);
  EXPECT_EQ(parseInteger("0x1F", 0, 100), std::nullopt);
  EXPECT_EQ(parseInteger("0x1F", 0, 100, {.hex = true}), 31);
  EXPECT_EQ(parseInteger("0X", 0, 100, {.hex = true}), std::nullopt);
  EXPECT_EQ(parseInteger("-5", -10, 10), std::nullopt);
  EXPECT_EQ(parseInteger("-5", -10, 10, {.sign = true}), -5);
  EXPECT_EQ(parseInteger("+", -10, 10, {.sign = true}), std::nullopt);
  EXPECT_EQ(parseInteger("1 2", 0, 100), std::nullopt);
  EXPECT_EQ(parseInteger("", 0, 100), std::nullopt);
  // Far too large saturates instead of wrapping into the range.
  EXPECT_EQ(parseInteger("18446744073709551621", 0, 100), std::nullopt);
  EXPECT_EQ(parseInteger("99999999999999999999", 0, INT64_MAX), std::int64_t(1) << 40);
}

}  // namespace
}  // namespace pw
