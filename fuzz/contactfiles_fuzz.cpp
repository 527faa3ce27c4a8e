// Feeds arbitrary contact files (both formats) to the importer, then exports the result
// and imports it again; the same bytes to a paste; and, under a user database header, to the
// database reader, a plan and its import: nothing may crash, and the list must stay packed
// and within its capacity.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "codeplug/RecordList.h"
#include "contacts/ContactFiles.h"
#include "exchange/ContactCsv.h"
#include "exchange/UserDatabase.h"
#include "support/CodePlugBuilder.h"
#include "support/ScratchDir.h"

using namespace pw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::uint8_t> plug = [] {
    pwtest::CodePlugBuilder b;
    for (int i = 0; i < 990; ++i) b.contact(i, "C" + std::to_string(i), 100 + i);
    return b.bytes();
  }();
  static const std::string dir = pwtest::scratchDir();
  if (size == 0) return 0;
  const std::string in = dir + ((data[0] & 1) ? "/in.csv" : "/in.txt");
  if (std::FILE* f = std::fopen(in.c_str(), "wb")) {
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
  }
  // One document for every run, its buffers reused: a run allocates no image.
  static CodePlugDocument doc;
  doc.workingImage = plug;
  doc.adoptImage(std::move(doc.workingImage));
  importContacts(doc, in);
  if (usedCount(doc, ListId::Contacts) > kContactCount) __builtin_trap();
  // What the import left as it was exports and reads back as the first run of each layout
  // proved: only a changed list is exported and read again (a thousand contacts each way).
  const std::string out = dir + ((data[0] & 2) ? "/out.csv" : "/out.txt");
  static bool exported[2] = {false, false};
  bool& seen = exported[(data[0] >> 1) & 1];
  if ((!seen || doc.workingImage != plug) && exportContacts(doc, out) == 0) importContacts(doc, out);
  seen = true;

  const std::string_view clipboard(reinterpret_cast<const char*>(data + 1), size - 1);
  exchange::pasteContactText(doc, clipboard, (data[0] >> 5) * 150 - 1);
  const int used = usedCount(doc, ListId::Contacts);
  for (int i = 0; i < kContactCount; ++i)
    if (inUse(doc, ListId::Contacts, i) != (i < used)) __builtin_trap();

  exchange::Database db;
  const std::string header = (data[0] & 4) ? "RADIO_ID,CALLSIGN,FIRST_NAME,COUNTRY\n" : "";
  const std::string text = header + std::string(reinterpret_cast<const char*>(data + 1), size - 1);
  if (exchange::readDatabaseText(text, db) == exchange::ReadStatus::Ok) {
    exchange::Filter filter;
    if (!db.countries().empty() && (data[0] & 8)) filter.countries.push_back(db.countries().back().name);
    if (data[0] & 16) filter.idPrefixes = {"1", "26"};
    const exchange::DatabasePlan plan = exchange::makePlan(doc, db, filter);
    const int before = usedCount(doc, ListId::Contacts);
    if (exchange::applyPlan(doc, db, plan).added.size() != plan.rows.size()) __builtin_trap();
    if (usedCount(doc, ListId::Contacts) != before + int(plan.rows.size())) __builtin_trap();
  }
  return 0;
}
