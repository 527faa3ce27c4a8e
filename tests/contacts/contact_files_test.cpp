#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "codeplug/FileWriter.h"
#include "codeplug/RecordList.h"
#include "contacts/ContactFiles.h"
#include "contacts/ContactList.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"

namespace pw {
namespace {

using pwtest::CodePlugBuilder;

std::string path(const std::string& name) { return pwtest::testTempDir() + "/" + name; }

void writeText(const std::string& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

std::string readText(const std::string& file) {
  const auto bytes = pwtest::readFile(file);
  return {bytes.begin(), bytes.end()};
}

struct Row {
  std::string name;
  std::uint32_t id;
  int type;
  bool tone;
  bool operator==(const Row&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Row& r) {
  return o << '{' << r.name << ", " << r.id << ", " << r.type << ", " << r.tone << '}';
}

class ContactFilesTest : public ::testing::Test, protected pwtest::PromptedDocument {
 protected:
  void load(const CodePlugBuilder& b) { ASSERT_EQ(b.loadInto(doc), 0); }
  std::vector<Row> rows(int from = 0) const {
    std::vector<Row> out;
    for (int i = from; i < usedCount(doc, ListId::Contacts); ++i)
      out.push_back({recordName(doc, ListId::Contacts, i), contactCallId(doc, i), contactCallType(doc, i),
                     contactRxTone(doc, i)});
    return out;
  }
  // Imports `text` from a file of the given extension into an empty code plug.
  std::vector<Row> importText(const std::string& text, const std::string& ext = ".csv") {
    load(CodePlugBuilder{});
    const std::string file = path("in" + ext);
    writeText(file, text);
    EXPECT_EQ(importContacts(doc, file), 0);
    return rows();
  }
};

TEST_F(ContactFilesTest, SectionedRoundTripKeepsTypesOneToFive) {
  CodePlugBuilder b;
  for (int t = 0; t < 8; ++t) b.contact(t, "Type " + std::to_string(t), 100 + t, t, t % 2 == 1);
  load(b);
  const std::string file = path("all.txt");
  ASSERT_EQ(exportContacts(doc, file), 0);
  const std::string text = readText(file);
  EXPECT_TRUE(text.starts_with("[CONTACTS]\ncount=8\n[Contact1]\n0=Type 0\n1=0\n2=100\n3=0\n[Contact2]\n"))
      << text;

  load(CodePlugBuilder().contact(0, "Mine", 55));
  ASSERT_EQ(importContacts(doc, "  " + file + " "), 0);
  std::vector<Row> expected;
  for (int t = 1; t <= 5; ++t) expected.push_back({"Type " + std::to_string(t), 100u + t, t, t % 2 == 1});
  EXPECT_EQ(rows(1), expected);
  EXPECT_EQ(recordBytes(doc, ListId::Contacts, 1)[3], 0xC1 | 0x20);

  // The second time every ID is already there.
  ASSERT_EQ(importContacts(doc, file), 0);
  EXPECT_EQ(usedCount(doc, ListId::Contacts), 6);
}

TEST_F(ContactFilesTest, SectionedReaderDropsEntriesThatDoNotFit) {
  const auto got = importText(
      "\n  [contacts]  \nCOUNT= 1\n"
      "[Contact1]\n0=Good\n1=2\n2=5\n3=1\n"
      "[Contact2]\n0=   \n1=1\n2=6\n3=0\n"  // empty name: the rest is out of step
      "[Contact3]\n0=BadType\n1=6\n2=7\n3=0\n"
      "[Contact4]\n0=BadId\n1=1\n2=16777216\n3=0\n"
      "[ContactX]\n0=BadHeader\n1=1\n2=8\n3=0\n"
      "[CONTACT 9 ]\r\n0=  Spaced  \r\n1=3\tcomment\n2=9\n3=0\n"  // CR and tab cut the line
      "[Contact10]\n0=Cut\n1=1\n2=10\n",                          // the file ends mid-entry
      ".TXT");
  EXPECT_EQ(got, (std::vector<Row>{{"Good", 5, 2, true}, {"Spaced", 9, 3, false}}));
  // Without the header or its count nothing is imported.
  for (const char* text :
       {"[Contact1]\n0=A\n1=1\n2=5\n3=0\n", "[CONTACTS]\ncount=0\n[Contact1]\n0=A\n1=1\n2=5\n3=0\n",
        "[CONTACTS]\n[Contact1]\n0=A\n1=1\n2=5\n3=0\n"})
    EXPECT_TRUE(importText(text, ".txt").empty()) << text;
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ContactFilesTest, CommaSeparatedCallsignSwapAndTalkGroup) {
  CodePlugBuilder b;
  b.contact(0, "Pat Z9ZZ", 2345678, 2, true)
      .contact(1, "Local Net", 9)
      .contact(2, "Solo", 3000000, 2)
      .contact(3, "Ann Lee", 4000000, 2);
  load(b);
  const std::string file = path("out.CSV");
  ASSERT_EQ(exportContacts(doc, file), 0);
  EXPECT_EQ(readText(file), "2345678,Z9ZZ,Pat\n9,Local Net,-\n3000000,Solo,-\n4000000,Ann,Lee\n");

  EXPECT_EQ(importText(readText(file)), (std::vector<Row>{{"Z9ZZ Pat", 2345678, 2, false},
                                                          {"Local Net", 9, 1, false},
                                                          {"Solo", 3000000, 2, false},
                                                          {"Ann Lee", 4000000, 2, false}}));
}

TEST_F(ContactFilesTest, PrivateCallsStartAtOneMillion) {
  CodePlugBuilder b;
  b.contact(0, "Net 9 A", 999999, 1).contact(1, "Pat Z9", 1000000, 2);
  load(b);
  ASSERT_EQ(exportContacts(doc, path("edge.csv")), 0);
  EXPECT_EQ(readText(path("edge.csv")), "999999,Net 9 A,-\n1000000,Z9,Pat\n");
  EXPECT_EQ(importText("999999,Net,X1\n1000000,Bob,X1\n\"999998\",\"Q\",\"\",\"\"\n\"1000001\",\"R\",\"\",\"\"\n"),
            (std::vector<Row>{{"Net", 999999, 1, false},
                              {"Bob X1", 1000000, 2, false},
                              {"Q", 999998, 1, false},
                              {"R", 1000001, 2, false}}));
}

TEST_F(ContactFilesTest, CommaSeparatedLineLayouts) {
  const auto got = importText(
      "ID,Name,Callsign\n"                           // header: starts with a letter
      "\"12\" , \"Alpha\",\"Group call\",\"Yes\"\n"  // quoted layout
      "\"13\",\"  \",\"x\",\"y\"\n"                  // empty quoted name becomes "-"
      "\"14\",\"Three\",\"fields\"\n"                // too few fields
      "\"15\",\"\",\"x\",\"y\"\n"                    // a field of two characters
      "\"16\",Bare,\"x\",\"y\"\n"                    // name without quotes
      "17,A name far longer than sixteen,extra\n"    // talk group: extra ignored, name cut
      "1234567 , Kim , K1M ,more,fields\n"
      "1234568,Lou,-\n"
      "18\n"  // no name
      "19,   ,-\n"
      "16777216,Too big,-\n"
      "2x,Not a number,-\n"
      "20,\"Bob\",-\n"  // quotes that were not needed stay as written
      "-5,Negative,-\n");
  EXPECT_EQ(got, (std::vector<Row>{{"Alpha", 12, 1, false},
                                   {"-", 13, 1, false},
                                   {"A name far longe", 17, 1, false},
                                   {"Kim K1M", 1234567, 2, false},
                                   {"Lou", 1234568, 2, false},
                                   {"\"Bob\"", 20, 1, false}}));
}

TEST_F(ContactFilesTest, LongLinesAreReadInPiecesOf255) {
  const auto got = importText("1," + std::string(253, 'x') + "21,Tail,-\n");
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], (Row{std::string(16, 'x'), 1, 1, false}));
  EXPECT_EQ(got[1], (Row{"Tail", 21, 1, false}));
}

TEST_F(ContactFilesTest, NamesWithCommasAndQuotesSurviveBothFormats) {
  const std::vector<std::string> names = {"Smith, John", "Say \"hi\"", "\"Q\"", "a,\"b\",c", "x,"};
  for (const char* ext : {".csv", ".txt"}) {
    CodePlugBuilder b;
    for (std::size_t i = 0; i < names.size(); ++i) b.contact(int(i), names[i], 100 + std::uint32_t(i));
    b.contact(int(names.size()), "Smith, Jane", 2000000, 2);  // private ID: split at the space, no swap
    load(b);
    const std::string file = path(std::string("names") + ext);
    ASSERT_EQ(exportContacts(doc, file), 0);
    const auto got = importText(readText(file), ext);
    ASSERT_EQ(got.size(), names.size() + 1) << ext;
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(got[i].name, names[i]) << ext;
    EXPECT_EQ(got.back().name, "Smith, Jane") << ext;
  }
  load(CodePlugBuilder{}.contact(0, "Smith, John", 7));
  ASSERT_EQ(exportContacts(doc, path("one.csv")), 0);
  EXPECT_EQ(readText(path("one.csv")), "7,\"Smith, John\",-\n");
}

TEST_F(ContactFilesTest, DuplicatesAndAFullListAreSkippedSilently) {
  CodePlugBuilder b;
  for (int i = 0; i < 998; ++i) b.contact(i, "C" + std::to_string(i), 5000 + i);
  load(b);
  writeText(path("five.csv"), "5000,Dup,-\n1,One,-\n1,Again,-\n2,Two,-\n3,Three,-\n4,Four,-\n");
  ASSERT_EQ(importContacts(doc, path("five.csv")), 0);
  EXPECT_EQ(usedCount(doc, ListId::Contacts), 1000);
  EXPECT_EQ(recordName(doc, ListId::Contacts, 998), "One");
  EXPECT_EQ(recordName(doc, ListId::Contacts, 999), "Two");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ContactFilesTest, FailureCodesAndMessages) {
  CodePlugDocument none{&prompt};
  EXPECT_EQ(importContacts(none, path("x.csv")), kContactFileNoImage);
  EXPECT_EQ(exportContacts(none, path("x.csv")), kContactFileNoImage);
  load(CodePlugBuilder{}.contact(0, "A", 1));
  EXPECT_EQ(importContacts(doc, " .csv "), kContactFileNameTooShort);
  EXPECT_EQ(exportContacts(doc, "a.tx"), kContactFileNameTooShort);
  EXPECT_TRUE(prompt.shown.empty());

  EXPECT_EQ(importContacts(doc, path("list.dat")), kContactFileFormatOrOpen);
  EXPECT_EQ(importContacts(doc, path("missing.csv")), kContactFileFormatOrOpen);
  std::filesystem::create_directories(path("folder.csv"));
  EXPECT_EQ(importContacts(doc, path("folder.csv")), kContactFileFormatOrOpen);
  std::filesystem::remove(path("pipe.csv"));
  ASSERT_EQ(::mkfifo(path("pipe.csv").c_str(), 0644), 0);
  EXPECT_EQ(importContacts(doc, path("pipe.csv")), kContactFileFormatOrOpen);  // without waiting for a writer
  EXPECT_EQ(exportContacts(doc, path("list.dat")), kContactFileFormatOrOpen);
  EXPECT_EQ(exportContacts(doc, path("no/such/folder.txt")), kContactFileCreate);
  EXPECT_EQ(exportContacts(doc, path("folder.csv")), kContactFileCreate);
  EXPECT_EQ(exportContacts(doc, path("pipe.csv")), kContactFileCreate);
  EXPECT_EQ(
      prompt.texts("error"),
      (std::vector<std::string>{"Don't know what format you want them importing from (only .txt or .csv)",
                                "Could not open the file", "Could not open the file", "Could not open the file",
                                "Don't know what format you want them exporting too (only .txt or .csv)",
                                "Could not create the file", "Could not create the file",
                                "Could not create the file"}));
  EXPECT_TRUE(std::filesystem::is_fifo(path("pipe.csv")));
  EXPECT_FALSE(doc.isModified());
}

// A disk that fills up after the first bytes.
class FailingWriter : public FileWriter {
 protected:
  long writeChunk(int, const std::uint8_t*, std::size_t) override {
    errno = ENOSPC;
    return -1;
  }
};

TEST_F(ContactFilesTest, FailedExportKeepsTheOldFile) {
  load(CodePlugBuilder{}.contact(0, "A", 1));
  const std::string file = path("old.csv");
  writeText(file, "old contents\n");
  FailingWriter failing;
  doc.setFileWriter(&failing);
  EXPECT_EQ(exportContacts(doc, file), kContactFileWrite);
  EXPECT_EQ(prompt.texts("error"), (std::vector<std::string>{"Could not write to the file"}));
  EXPECT_EQ(readText(file), "old contents\n");
}

// Links, hard links, read-only files and temporaries are the file writer's, proven in
// filewriter_test: the export writes through it.

}  // namespace
}  // namespace pw
