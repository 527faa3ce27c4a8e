// Contacts through the clipboard: the copied text, and a paste of it or of a contact file's
// lines into another code plug, with what the paste leaves out told in one message.
#include "exchange/ContactCsv.h"

#include <gtest/gtest.h>

#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "contacts/ContactList.h"
#include "membership/MemberList.h"
#include "support/CodePlugBuilder.h"

using namespace pw;
using namespace pw::exchange;
using pwtest::CodePlugBuilder;

namespace {

struct Plug {
  CodePlugDocument doc;
  explicit Plug(const CodePlugBuilder& b) { EXPECT_EQ(b.loadInto(doc), 0); }
  std::string row(int slot) const {
    return recordName(doc, ListId::Contacts, slot) + "|" + std::to_string(contactCallId(doc, slot)) + "|" +
           callTypeText(contactCallType(doc, slot)) + (contactRxTone(doc, slot) ? "|tone" : "");
  }
};

std::vector<Reason> kinds(const Report& report) {
  std::vector<Reason> out;
  for (const Skip& s : report.skipped) out.push_back(s.reason);
  return out;
}

}  // namespace

TEST(ContactCsv, CopyThenPasteElsewhereSkipsKnownIdsAndEveryHolderKeepsItsContact) {
  CodePlugBuilder from;
  from.contact(0, "Local Net", 9, kGroupCall, true).contact(1, "Pat Z9ZZ", 2345678, kPrivateCall);
  from.contact(2, "All", 16777215, kAllCall).contact(3, "Caf\xE9", 1234, kPcCall, true);
  Plug source(from);
  const std::vector<int> copied{0, 1, 2, 3};
  const std::string text = writeContactText(source.doc, copied);
  EXPECT_EQ(text,
            "call_id,name,call_type,receive_tone\r\n9,Local Net,Group call,Yes\r\n2345678,Pat Z9ZZ,Private "
            "call,No\r\n"
            "16777215,All,All call,No\r\n1234,Caf\\xe9,PC call,Yes\r\n");

  // Contact 2 is held by a button, a number key, a group list, a channel and a GPS system.
  CodePlugBuilder to;
  to.contact(0, "A", 1).contact(1, "B", 2345678).contact(2, "C", 3).oneTouch(0, 1, 0, 1, 2).numberKey(0, 2);
  to.named(ListId::RxGroupLists, 0, "G").members(ListId::RxGroupLists, 0, {3, 2});
  to.channel(0, "Ch").channelContact(0, 2).u16(kGps + 4, 2);
  Plug plug(to);
  const std::vector<std::uint8_t> before = plug.doc.workingImage;
  const Report pasted = pasteContactText(plug.doc, text, 1);
  EXPECT_EQ(pasted.added, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(plug.row(1), "Local Net|9|Group call|tone");
  EXPECT_EQ(plug.row(2), "All|16777215|All call");
  EXPECT_EQ(plug.row(3), "Caf\xE9|1234|PC call|tone");
  EXPECT_EQ(plug.row(4), "B|2345678|Group call");
  for (std::size_t at : {kOneTouchAccess + 2, kNumberKeyContacts, kChannels + 6, kGps + 4})
    EXPECT_EQ(u16le(plug.doc.image(), at), 5) << at;
  EXPECT_EQ(memberRows(plug.doc, ListId::RxGroupLists, 0)[1].number, 5);
  EXPECT_EQ(memberRows(plug.doc, ListId::RxGroupLists, 0)[0].number, 6);
  EXPECT_EQ(pasteMessage(pasted),
            "Pasted 3 contacts.\n\nline 3: not pasted: call ID 2345678 is in the list already: \"B\"");
  EXPECT_EQ(kinds(pasted), std::vector<Reason>{Reason::Repeated});

  EXPECT_TRUE(plug.doc.settleEdits("edit"));
  EXPECT_EQ(plug.doc.history().undoLabel(), "paste 3 contacts");
  EXPECT_TRUE(plug.doc.undo());
  EXPECT_TRUE(plug.doc.workingImage == before);
}

TEST(ContactCsv, PasteReadsFileLinesAndSaysWhatItLeftOut) {
  // The contact file's lines, into a list with room for two.
  CodePlugBuilder nearlyFull;
  nearlyFull.fill(ListId::Contacts, 998, "C");
  Plug full(nearlyFull);
  Report pasted = pasteContactText(
      full.doc,
      "ID,Name\n9,Local Net,-\n\"12\",\"Alpha\",\"Group call\",\"Yes\"\n2345678,Z9ZZ,Pat\nx\n77,Seven\n", -1);
  EXPECT_EQ(pasted.added, (std::vector<int>{998, 999}));
  EXPECT_EQ(full.row(999), "Alpha|12|Group call");
  EXPECT_EQ(pasteMessage(pasted),
            "Pasted 2 contacts.\n2 contacts not pasted: the list holds no more than 1000.\n\n"
            "line 1: not pasted: not a contact (ID,name)\nline 5: not pasted: not a contact (ID,name)");
  using enum Reason;
  EXPECT_EQ(kinds(pasted), (std::vector<Reason>{NotARecord, NoRoom, NotARecord, NoRoom}));

  // The own layout: columns by name, values checked, defaults for cells left empty.
  CodePlugBuilder b;
  b.contact(0, "A", 1);
  Plug plug(b);
  pasted = pasteContactText(plug.doc,
                            "Name\tCALL_ID\tcall_type\treceive_tone\tnote\n"
                            "\t1000000\t\t\tx\nB\t16777216\t\t\t\nC\t5\tGroup\t\t\nD\t6\t\tmaybe\t\n"
                            "An unusually long\t7\tall call\ton\t\n\t\t\t\t\n",  // an empty row last
                            -1);
  EXPECT_EQ(pasted.added, (std::vector<int>{1, 2}));
  EXPECT_EQ(plug.row(1), "Contact 2|1000000|Private call");
  EXPECT_EQ(plug.row(2), "An unusually lon|7|All call|tone");
  EXPECT_EQ(pasteMessage(pasted),
            "Pasted 2 contacts.\nColumns not read: note.\n\n"
            "line 3: not pasted: call_id \"16777216\" is not a call ID\n"
            "line 4: not pasted: call_type \"Group\" is not a value a contact can hold\n"
            "line 5: not pasted: receive_tone \"maybe\" is not a value a contact can hold\n"
            "line 6: name cut to 16 characters: \"An unusually lon\"");
  EXPECT_EQ(kinds(pasted), (std::vector<Reason>{NotHeld, NotHeld, NotHeld}));

  const std::vector<std::uint8_t> before = plug.doc.workingImage;
  // Neither prose nor copied channels, whose rows would read as contact file lines (ID,name).
  for (const char* text : {"hello world\n", "number,name,rx_frequency\r\n1,Rpt,439.00000\r\n",
                           "Location,Name,Frequency\n0,Rpt,439.0\n"}) {
    pasted = pasteContactText(plug.doc, text, 0);
    EXPECT_TRUE(pasted.added.empty()) << text;
    EXPECT_TRUE(pasteMessage(pasted).starts_with(
        "Nothing was pasted: the text on the clipboard is not a list of contacts."));
    EXPECT_TRUE(plug.doc.workingImage == before);
  }

  // A contact file's line from the clipboard is outside text like any other: its UTF-8 name
  // follows the name rule rather than being stored byte by byte.
  pasted = pasteContactText(plug.doc, "2345678,Z9ZZ,Jos\xC3\xA9\n", -1);
  EXPECT_EQ(plug.row(3), "Z9ZZ Jose|2345678|Private call");
  EXPECT_EQ(pasteMessage(pasted), "Pasted 1 contact.\n\nline 1: name \"Z9ZZ Jose\": written without accents");

  // A name is trimmed as a typed one is: a leading \x00 kept would leave the record free.
  pasted = pasteContactText(plug.doc, "call_id,name\n8,\\x00Eight\n", 0);
  EXPECT_EQ(plug.row(0), "Eight|8|Group call");
  EXPECT_EQ(usedCount(plug.doc, ListId::Contacts), 5);

  // A quote never closed takes the rest of the text into one field: its row is not pasted.
  pasted = pasteContactText(plug.doc, "call_id,name\n10,\"Ten\n11,Eleven\n", -1);
  EXPECT_TRUE(pasted.added.empty());
  EXPECT_EQ(pasteMessage(pasted),
            "Pasted 0 contacts.\n\nlines 2-3: not pasted: a quoted field opened on line 2 is not closed");

  // An ID the text gives twice: the second row names the line of the first.
  pasted = pasteContactText(plug.doc, "call_id,name\n12,Twelve\n12,Again\n", -1);
  EXPECT_EQ(pasted.added, std::vector<int>{5});
  EXPECT_EQ(pasteMessage(pasted), "Pasted 1 contact.\n\nline 3: not pasted: call ID 12 is on line 2 already");

  // A message box holds twenty lines; the rest are counted.
  Report many;
  many.added = {0};
  for (int line = 1; line <= 21; ++line) many.notes.push_back({line, "x"});
  EXPECT_TRUE(pasteMessage(many).ends_with("\nline 20: x\n... and 1 more.")) << pasteMessage(many);
  many.notes.pop_back();
  EXPECT_TRUE(pasteMessage(many).ends_with("\nline 19: x\nline 20: x")) << pasteMessage(many);
}
