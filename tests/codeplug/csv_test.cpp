#include "codeplug/Csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace pw::csv {
namespace {

struct Read {
  std::vector<Row> rows;
  bool binary = false;
};

Read readAll(Reader reader) {
  Read out;
  Row row;
  while (reader.next(row)) out.rows.push_back(row);
  out.binary = reader.binary();
  return out;
}

// The same text handed over a few bytes at a time, so every state meets a chunk's end.
Reader trickled(const std::string& text, std::size_t step, char separator = ',') {
  auto at = std::make_shared<std::size_t>(0);
  return Reader(
      [text, step, at](char* buffer, std::size_t size) {
        const std::size_t n = std::min({step, size, text.size() - *at});
        std::memcpy(buffer, text.data() + *at, n);
        *at += n;
        return n;
      },
      separator);
}

using Fields = std::vector<std::string>;

TEST(CsvReader, ReadsWhatRealFilesHold) {
  const std::string text =
      "\xEF\xBB\xBFRADIO_ID,CALLSIGN,CITY\r\n"
      "1,\"Jane \"\"JJ\"\"\", \"Stoke, Staffs\" \r\n"
      "\r\n"
      "2,\"two\r\nlines\",x\n"
      "3,short\n"
      "4,\"open";
  for (std::size_t step : {text.size(), std::size_t{1}, std::size_t{5}}) {
    SCOPED_TRACE(step);
    const Read r = readAll(trickled(text, step));
    ASSERT_EQ(r.rows.size(), 5u);
    EXPECT_EQ(r.rows[0].fields, (Fields{"RADIO_ID", "CALLSIGN", "CITY"}));
    EXPECT_EQ(r.rows[1].fields, (Fields{"1", "Jane \"JJ\"", "Stoke, Staffs "}));
    // The blank line is skipped, and a quoted line break still counts as a line.
    EXPECT_EQ(r.rows[2].line, 4);
    EXPECT_EQ(r.rows[2].fields, (Fields{"2", "two\r\nlines", "x"}));
    EXPECT_EQ(r.rows[3].line, 6);
    EXPECT_EQ(fieldAt(r.rows[3], 2), "");
    EXPECT_EQ(fieldAt(r.rows[3], std::nullopt), "");
    EXPECT_TRUE(r.rows[4].openQuote);
    EXPECT_EQ(r.rows[4].fields, (Fields{"4", "open"}));
    EXPECT_FALSE(r.binary);
  }
  // Only a whole mark is dropped.
  EXPECT_EQ(readAll(Reader("\xEF\xBBx")).rows[0].fields, (Fields{"\xEF\xBBx"}));
  EXPECT_TRUE(readAll(Reader(std::string_view("a\0b", 3))).binary);
}

TEST(CsvReader, HeaderFindsColumnsByNameAndSpreadsheetCellsByTab) {
  const Header h({"\xEF\xBB\xBF Radio_ID ", "Callsign", "remarks"});
  EXPECT_EQ(h.find("radio_id"), 0u);
  EXPECT_EQ(h.find("REMARKS"), 2u);
  EXPECT_FALSE(h.has("country"));

  EXPECT_EQ(guessSeparator("name\tcall_id\r\nx,y"), '\t');
  EXPECT_EQ(guessSeparator("name,call_id\tx"), ',');
  // Where the comma is the decimal mark, spreadsheets separate by semicolons.
  EXPECT_EQ(guessSeparator("Name;Frequency\r\nA;439,1"), ';');
  EXPECT_EQ(guessSeparator("Name;Frequency,x"), ',');
  EXPECT_EQ(guessSeparator("a;b\tc"), '\t');
  const Read r = readAll(Reader("a\tb,c\n", '\t'));
  EXPECT_EQ(r.rows[0].fields, (Fields{"a", "b,c"}));
  // Guessed from the first line, after a byte order mark, when the reader is asked to.
  const Read guessed =
      readAll(trickled("\xEF\xBB\xBF"
                       "a\tb\nc,d\te\n",
                       64, kGuessSeparator));
  EXPECT_EQ(guessed.rows[1].fields, (Fields{"c,d", "e"}));
}

TEST(CsvWriter, QuotesOnlyWhatNeedsItAndReadsBack) {
  EXPECT_EQ(quoteField("plain"), "plain");
  EXPECT_EQ(quoteField("a,b"), "\"a,b\"");
  EXPECT_EQ(quoteField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(quoteField(" lead"), "\" lead\"");
  EXPECT_EQ(quoteField("a\tb"), "a\tb");
  EXPECT_EQ(quoteField("a\tb", '\t'), "\"a\tb\"");

  const Fields fields{"", "a,b", "\"q\"", "line\nbreak", " x ", "#1"};
  std::string text;
  appendRow(text, fields);
  appendRow(text, fields);
  EXPECT_TRUE(text.ends_with("\r\n"));
  const Read r = readAll(Reader(text));
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[0].fields, fields);
  EXPECT_EQ(r.rows[1].line, 3);
  // As cells for a spreadsheet: one table cell per field, markup characters escaped.
  EXPECT_EQ(htmlTable("a,\"<b> & \"\"c\"\"\"\r\n1\r\n"),
            "<table><tr><td>a</td><td>&lt;b&gt; &amp; &quot;c&quot;</td></tr><tr><td>1</td></tr></table>");
}

TEST(CsvWriter, CellsASpreadsheetWouldEvaluateAreWrittenAsTextAndReadBackExactly) {
  EXPECT_EQ(quoteField("=HYPERLINK(\"x\")"), "\"'=HYPERLINK(\"\"x\"\")\"");
  EXPECT_EQ(quoteField("@SUM(A1)"), "\"'@SUM(A1)\"");
  EXPECT_EQ(quoteField("+"), "\"'+\"");
  EXPECT_EQ(quoteField("-7.600"), "-7.600");  // numbers stay numbers
  EXPECT_EQ(quoteField("+5,000"), "\"+5,000\"");
  EXPECT_EQ(quoteField("'=x"), "\"''=x\"");  // a mark of its own is kept behind the writer's
  EXPECT_EQ(quoteField("'abc"), "'abc");

  const Fields fields{"=1+1", "-x", "@a", "'=x", "''+y", "'a,b", "-5", "'", "=", "a=b"};
  std::string text;
  appendRow(text, fields);
  EXPECT_EQ(readAll(Reader(text)).rows[0].fields, fields);
  EXPECT_EQ(readAll(Reader(text, kGuessSeparator)).rows[0].fields, fields);
  EXPECT_EQ(readAll(Reader("'=x,\"'1\"\r\n")).rows[0].fields, (Fields{"'=x", "'1"}))
      << "a mark only comes off a quoted would-be formula";
  EXPECT_EQ(htmlTable("\"'=1+1\",-2\r\n"), "<table><tr><td>'=1+1</td><td>-2</td></tr></table>");
}

}  // namespace
}  // namespace pw::csv
