// plugwright-cli: the editor's checks and file operations from a command line.
// It links the model only; every command loads through the same path as the editor.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "codeplug/CodePlugDocument.h"
#include "codeplug/FileWriter.h"
#include "codeplug/RecordList.h"
#include "channels/ChannelRecord.h"
#include "contacts/ContactFiles.h"
#include "contacts/ContactList.h"
#include "exchange/ChannelCsv.h"
#include "exchange/UserDatabase.h"
#include "textform/TextDiff.h"
#include "textform/TextYaml.h"
#include "validation/Validation.h"

namespace {

// A command line has no one to answer a question: errors go to standard error,
// refusals stop, and the password warning is answered Yes (saving was asked for).
class CliPrompt final : public pw::Prompt {
public:
  pw::RefusalAnswer refuse(const std::string& text) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    return pw::RefusalAnswer::Stop;
  }
  void error(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  bool warnYesNo(const std::string&) override { return true; }
  pw::Answer question(const std::string&, bool) override { return pw::Answer::Yes; }
  void inform(const std::string&, const std::string& text) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
};

// The conventional exit status of a command used wrongly; kept apart from the load
// codes 1..9 and the operations' own statuses.
constexpr int kUsageStatus = 64;
constexpr int kOwnArguments = -2;

struct Command {
  const char* name;
  const char* usage;
  const char* help;
  int arguments;  // -1: IN with an optional OUT; kOwnArguments: the command checks them
  std::function<int(const std::vector<std::string>&)> run;
};

// Loads a file with every check; on failure prints the load message and returns its exit status.
int load(pw::CodePlugDocument& doc, const std::string& path) {
  const int code = doc.loadCodePlug(path, true);
  if (code != 0) return -code;
  doc.fileName = path;
  return 0;
}

int check(const std::vector<std::string>& args) {
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (const int rc = load(doc, args[0])) return rc;
  using pw::ListId;
  for (ListId id : {ListId::TextMessages, ListId::EmergencySystems, ListId::Contacts, ListId::RxGroupLists,
                    ListId::Zones, ListId::ScanLists, ListId::Channels}) {
    const auto& l = pw::layoutOf(id);
    std::printf("%s: %d of %d\n", l.title, pw::usedCount(doc, id), l.count);
  }
  std::printf("modified by loading: %s\n", doc.isModified() ? "yes" : "no");
  return 0;
}

int normalise(const std::vector<std::string>& args) {
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (const int rc = load(doc, args[0])) return rc;
  const int code = doc.saveCodePlug(args[1]);
  return code == 0 ? 0 : 10 - code;
}

// Failures the model reports without a message of its own.
void explainContactFileCode(int code) {
  if (code == pw::kContactFileNameTooShort) std::fprintf(stderr, "file name too short (at least 5 characters)\n");
}

int exportContactsCommand(const std::vector<std::string>& args) {
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (const int rc = load(doc, args[0])) return rc;
  const int code = pw::exportContacts(doc, args[1]);
  explainContactFileCode(code);
  return code == 0 ? 0 : 20 - code;
}

int importContactsCommand(const std::vector<std::string>& args) {
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (const int rc = load(doc, args[0])) return rc;
  const int before = pw::usedCount(doc, pw::ListId::Contacts);
  const int code = pw::importContacts(doc, args[1]);
  if (code != 0) {
    explainContactFileCode(code);
    return 30 - code;
  }
  if (const int saved = doc.saveCodePlug(args[2])) return 10 - saved;
  std::printf("imported: %d\n", pw::usedCount(doc, pw::ListId::Contacts) - before);
  return 0;
}

// ---- export-channels, import-channels, import-userdb and sort: 0 read (skipped rows
// included), 2 IN does not load, 3 the CSV cannot be read, 10 + the negated save code when
// OUT cannot be written ----
constexpr int kInLoadStatus = 2, kCsvStatus = 3;

// ---- commands with options: the words after the command as positional arguments and
// "--name VALUE" or "--name=VALUE" options (flags take no value) ----
struct Words {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;
  bool wrong = false;  // an unknown option, or one without its value
};

Words splitWords(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                 const std::vector<std::string>& flags) {
  Words w;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!a.starts_with("--")) {
      w.positional.push_back(a);
      continue;
    }
    const std::size_t eq = a.find('=');
    const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    const bool isValued = std::find(valued.begin(), valued.end(), name) != valued.end();
    const bool isFlag = std::find(flags.begin(), flags.end(), name) != flags.end();
    if (isFlag && eq == std::string::npos) {
      w.options.emplace_back(name, "");
    } else if (isValued && eq != std::string::npos) {
      w.options.emplace_back(name, a.substr(eq + 1));
    } else if (isValued && i + 1 < args.size()) {
      w.options.emplace_back(name, args[++i]);
    } else {
      w.wrong = true;
    }
  }
  return w;
}

int usageError(const char* usage) {
  std::fprintf(stderr, "usage: plugwright-cli %s\n", usage);
  return kUsageStatus;
}

int exportChannelsCommand(const std::vector<std::string>& args) {
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (load(doc, args[0])) return kInLoadStatus;
  const int code = pw::exchange::exportChannels(doc, args[1]);
  return code == 0 ? 0 : 10 - code;
}

const char* const kImportChannelsUsage = "import-channels IN CSV OUT [--update] [--dry-run]";

int importChannelsCommand(const std::vector<std::string>& args) {
  const Words w = splitWords(args, {}, {"update", "dry-run"});
  if (w.wrong || w.positional.size() != 3) return usageError(kImportChannelsUsage);
  pw::exchange::ReadOptions read;
  bool dryRun = false;
  for (const auto& [name, value] : w.options) (name == "update" ? read.update : dryRun) = true;
  const std::string& csvFile = w.positional[1];
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (load(doc, w.positional[0])) return kInLoadStatus;
  const pw::exchange::ChannelPlan plan = pw::exchange::readChannelFile(doc, csvFile, read);
  if (!plan.readable()) {
    std::fprintf(stderr, "%s: %s\n", csvFile.c_str(), plan.failure.c_str());
    return kCsvStatus;
  }
  for (const std::string& column : plan.unknownColumns)
    std::fprintf(stderr, "%s: column \"%s\" is not read\n", csvFile.c_str(), column.c_str());
  const pw::exchange::ApplyResult result = dryRun ? pw::exchange::previewChannelPlan(doc, plan, {})
                                                  : pw::exchange::applyChannelPlan(doc, plan, {});
  if (!dryRun)
    if (const int saved = doc.saveCodePlug(w.positional[2])) return 10 - saved;
  for (const std::string& line : pw::exchange::reportLines(plan, result)) std::printf("%s\n", line.c_str());
  return 0;
}

// ---- the text form: statuses of their own (0 ok or equal, 1 differ, 2 load error,
// 3 text error, 10 + the negated save code) ----
constexpr int kDiffer = 1, kWarnings = 1, kTextLoadError = 2, kTextError = 3;

// Loads as stored (the nine checks, no normalisation); the load message names the file.
int loadAsStored(pw::CodePlugDocument& doc, const std::string& path) {
  const int code = doc.loadCodePlug(path, false, pw::CodePlugDocument::LoadMode::AsStored);
  if (code == 0) return 0;
  std::fprintf(stderr, "%s: %s\n", path.c_str(), pw::loadMessage(code));
  return kTextLoadError;
}

int dump(const std::vector<std::string>& args) {
  pw::CodePlugDocument doc;
  if (const int rc = loadAsStored(doc, args[0])) return rc;
  const std::string text = pw::text::dumpText(doc.workingImage);
  if (args.size() < 2) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
  }
  // As Save writes: a write that fails halfway (a full disk) leaves the previous text whole.
  const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  if (pw::defaultFileWriter().writeFile(args[1], bytes) != pw::WriteResult::Ok) {
    std::fprintf(stderr, "%s: could not write the text\n", args[1].c_str());
    return kTextError;
  }
  return 0;
}

int build(const std::vector<std::string>& args) {
  std::ifstream in(args[0], std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) {
    std::fprintf(stderr, "%s: could not read the text\n", args[0].c_str());
    return kTextError;
  }
  auto built = pw::text::buildFile(text.str());
  if (const auto* e = std::get_if<pw::text::TextError>(&built)) {
    std::fprintf(stderr, "%s: %s\n", args[0].c_str(), pw::text::describeError(*e).c_str());
    return kTextError;
  }
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  doc.adoptImage(std::move(std::get<std::vector<std::uint8_t>>(built)));
  if (const int code = doc.saveCodePlug(args[1])) return 10 - code;
  // A hand edit may point at a free record or leave the band: said at once, as validate says it.
  for (const auto& f : pw::validate(doc)) std::fprintf(stderr, "warning: %s\n", pw::findingLine(f).c_str());
  return 0;
}

int diff(const std::vector<std::string>& args) {
  pw::CodePlugDocument a, b;
  if (const int rc = loadAsStored(a, args[0])) return rc;
  if (const int rc = loadAsStored(b, args[1])) return rc;
  const auto lines = pw::text::diffFiles(a.workingImage, b.workingImage);
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
  return lines.empty() ? 0 : kDiffer;
}

// Findings are warnings: the radio accepts the file as it is.
int validateCommand(const std::vector<std::string>& args) {
  pw::CodePlugDocument doc;
  if (const int rc = loadAsStored(doc, args[0])) return rc;
  const auto findings = pw::validate(doc);
  for (const auto& f : findings) std::printf("%s\n", pw::findingLine(f).c_str());
  return findings.empty() ? 0 : kWarnings;
}

const char* const kImportUserDbUsage =
    "import-userdb IN CSV OUT [--id-prefix P,...] [--country C,...] [--callsign-prefix P,...] [--dry-run]";

int importUserDbCommand(const std::vector<std::string>& args) {
  const Words w = splitWords(args, {"id-prefix", "country", "callsign-prefix"}, {"dry-run"});
  if (w.wrong || w.positional.size() != 3) return usageError(kImportUserDbUsage);
  pw::userdb::Filter filter;
  bool dryRun = false;
  for (const auto& [name, value] : w.options) {
    if (name == "dry-run") {
      dryRun = true;
      continue;
    }
    auto& into = name == "id-prefix" ? filter.idPrefixes : name == "country" ? filter.countries : filter.callsignPrefixes;
    for (std::string& item : pw::userdb::splitList(value)) into.push_back(std::move(item));
  }
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (load(doc, w.positional[0])) return kInLoadStatus;
  pw::userdb::Database db;
  const auto status = pw::userdb::readDatabase(w.positional[1], db);
  if (status != pw::userdb::ReadStatus::Ok) {
    std::fprintf(stderr, "%s: %s\n", w.positional[1].c_str(), pw::userdb::readMessage(status));
    return kCsvStatus;
  }
  for (const auto& row : db.malformed())
    std::fprintf(stderr, "%s:%d: %s\n", w.positional[1].c_str(), row.line, pw::userdb::skipText(row.reason));
  const pw::userdb::Plan plan = pw::userdb::makePlan(doc, db, filter);
  if (!dryRun) {
    pw::userdb::applyPlan(doc, db, plan);
    if (const int saved = doc.saveCodePlug(w.positional[2])) return 10 - saved;
  }
  std::printf("added %zu\npresent %d\nmalformed %d\nno room %d\n", plan.add.size(), plan.present, plan.malformed,
              plan.noRoom);
  return 0;
}

const char* const kSortUsage = "sort IN OUT --list contacts|channels --by name|id|rx_frequency";

int sortCommand(const std::vector<std::string>& args) {
  const Words w = splitWords(args, {"list", "by"}, {});
  std::string list, by;
  for (const auto& [name, value] : w.options) (name == "list" ? list : by) = value;
  const bool contacts = list == "contacts", channels = list == "channels";
  const bool known = (contacts && (by == "name" || by == "id")) || (channels && (by == "name" || by == "rx_frequency"));
  if (w.wrong || w.positional.size() != 2 || !known) return usageError(kSortUsage);
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (load(doc, w.positional[0])) return kInLoadStatus;
  const std::vector<int> where =
      contacts ? pw::sortContacts(doc, {}, by == "name" ? pw::ContactSort::Name : pw::ContactSort::Id)
               : pw::sortChannels(doc, {}, by == "name" ? pw::ChannelSort::Name : pw::ChannelSort::RxFrequency);
  if (const int saved = doc.saveCodePlug(w.positional[1])) return 10 - saved;
  int moved = 0;
  for (std::size_t i = 0; i < where.size(); ++i) moved += where[i] != int(i) ? 1 : 0;
  std::printf("moved %d\n", moved);
  return 0;
}

std::vector<Command>& commands() {
  static std::vector<Command> all = {
      {"check", "check FILE",
       "Loads FILE with every check and list normalisation. On success prints how full each list is\n"
       "and whether loading changed the file, and exits 0. On failure prints the load message and\n"
       "exits with the load code negated (1..9).",
       1, check},
      {"normalise", "normalise IN OUT",
       "Loads IN (checks and normalisation) and saves the image to OUT. A code plug with passwords is\n"
       "saved without asking. A DfuSe suffix CRC that matched IN is computed over the saved bytes;\n"
       "one that did not is kept as it was. A symbolic link OUT is followed; hard links of OUT stay\n"
       "linked. Load failures exit 1..9; save failures print their message and exit 10 + the\n"
       "negated save code (12 OUT cannot be created or replaced: a folder, device or pipe, or a\n"
       "file that may not be written; 13 writing failed and OUT is as it was).",
       2, normalise},
      {"export-contacts", "export-contacts IN OUT",
       "Loads IN and writes its contacts to OUT: the sectioned text format when OUT ends in .txt,\n"
       "the comma-separated format when it ends in .csv (either case). An existing OUT is replaced\n"
       "only when the whole file was written. Load failures exit 1..9; export failures print\n"
       "their message and exit 20 + the negated export code (22 name too short,\n"
       "23 unknown extension, 24 cannot create, 25 write failed).",
       2, exportContactsCommand},
      {"import-contacts", "import-contacts IN FILE OUT",
       "Loads IN, appends the contacts of FILE (.txt or .csv) after the last contact, skipping call\n"
       "IDs already present and stopping at 1000 contacts, saves the result to OUT and prints\n"
       "\"imported: N\". Load failures exit 1..9; import failures print their message and exit\n"
       "30 + the negated import code (32 name too short, 33 unknown extension or unreadable file);\n"
       "save failures exit 10 + the negated save code.",
       3, importContactsCommand},
      {"export-channels", "export-channels IN OUT.csv",
       "Loads IN and writes every channel in use, in channel order, to OUT.csv: UTF-8, CRLF line\n"
       "ends, quoted fields where needed. The first line names the columns: number, name, the\n"
       "channel keys of dump, then zones (the names of the zones holding the channel, joined by |).\n"
       "References are written as the referred record's name, or #NUMBER when the name is shared\n"
       "or the record is free, or None. An existing OUT is replaced only when the whole file was\n"
       "written. Exits 0; 2 when IN does not load; 10 + the negated save code when OUT cannot be\n"
       "written (12 cannot be created, 13 writing failed).",
       2, exportChannelsCommand},
      {"import-channels", kImportChannelsUsage,
       "Loads IN, reads the channels of CSV and saves the result to OUT. CSV is either the layout\n"
       "export-channels writes (columns in any order, missing ones taking a new channel's values)\n"
       "or an analogue channel list (Location,Name,Frequency,Duplex,Offset,Tone,...). New channels\n"
       "are added after the last one until 1000 are in use; with --update a row whose number names\n"
       "a channel in use overwrites the fields the file gives. Rows the radio cannot hold are\n"
       "skipped. Prints \"added N\", \"updated N\", one \"line L: REASON\" per skipped row and one\n"
       "\"note line L: TEXT\" per remark. --dry-run prints the same and writes nothing. Exits 0 when\n"
       "CSV was read (skipped rows included); 2 when IN does not load; 3 when CSV cannot be read\n"
       "(missing, not text, no recognised header); 10 + the negated save code when OUT cannot be\n"
       "written; 64 for wrong usage.",
       kOwnArguments, importChannelsCommand},
      {"dump", "dump IN [OUT]",
       "Writes the whole code plug IN as a YAML text to OUT (standard output without OUT): every\n"
       "section in the order of the tabs, each record in use with its number and its fields as the\n"
       "tab shows them (a stored number with the shown text in a comment where the text would not\n"
       "give the same bits), and under \"rest\" every bit no field covers, as hex. IN is read as\n"
       "stored: the nine load checks apply, nothing is normalised. \"suffix_crc\" says whether the\n"
       "DfuSe suffix CRC matched the file (\"matches\") or gives the stored value that did not.\n"
       "Exits 0; 2 when IN fails to load (the message names the file); 3 when OUT cannot be\n"
       "written.",
       -1, dump},
      {"build", "build TEXT OUT",
       "Turns a text written by dump (edited or not) into the RDT file OUT; an unchanged text gives\n"
       "the dumped file byte for byte. Edited values are stored as the tabs store them (frequencies\n"
       "clamped into the radio's band). A suffix CRC that \"matches\" is computed over the built\n"
       "file; a number is written as it stands. What validate finds in the result is printed on\n"
       "standard error as warnings. Exits 0; 3 on an error in the text (unknown section or field,\n"
       "a key given twice, a value that is neither a choice's text nor a number the field can\n"
       "hold, a name longer than its field or with a character outside printable ASCII that is\n"
       "not written \\xNN, a YAML anchor, alias or tag, malformed YAML), naming the line and the\n"
       "field, with nothing written; 10 + the negated save code when OUT cannot be written\n"
       "(12 cannot be created, 13 writing failed).",
       2, build},
      {"diff", "diff A B",
       "Compares two code plugs section by section in the words of dump: records matched by\n"
       "number, added, removed, moved (the same bytes under another number) or changed (each\n"
       "field old -> new), then the differing rest bytes. Exits 0 when the files are equal, 1 when\n"
       "they differ, 2 when either fails to load.",
       2, diff},
      {"validate", "validate IN",
       "Reads IN as stored (the load checks apply; nothing is packed) and lists what the radio\n"
       "accepts but users get wrong, one line each: SECTION RECORD: sentence. Checked: references\n"
       "to free records or beyond their list, digital channels without a contact, transmit\n"
       "frequencies outside the radio's band, contacts with the same ID and call type, scan list\n"
       "priority and designated channels that are not members, repeated members of zones, rx group\n"
       "lists and scan lists, zones without members. Exits 0 when clean, 1 with findings, 2 when IN\n"
       "cannot be loaded (the load message on standard error, naming IN).",
       1, validateCommand},
      {"import-userdb", kImportUserDbUsage,
       "Loads IN and appends, after the last contact, a contact for every row of the DMR user\n"
       "database CSV that the filters let through: call ID = RADIO_ID, name = CALLSIGN, a blank and\n"
       "FIRST_NAME (16 characters), Private call, receive tone off. Columns are found by name in the\n"
       "first line. --id-prefix keeps IDs starting with one of the digits given, --country one of\n"
       "the COUNTRY values (case ignored; a value with a comma in double quotes), --callsign-prefix\n"
       "callsigns starting with one of the prefixes; several kinds must all match. Rows whose ID is\n"
       "a contact already or came earlier are present; rows without a whole RADIO_ID in\n"
       "1..16777215 or without CALLSIGN are malformed (each named on standard error with its line);\n"
       "rows beyond 1000 contacts find no room. Saves to OUT (nothing with --dry-run) and prints\n"
       "\"added N\", \"present N\", \"malformed N\", \"no room N\". Exits 0; 2 when IN does not\n"
       "load; 3 when CSV cannot be read or is not a user database; 10 + the negated save code.",
       kOwnArguments, importUserDbCommand},
      {"sort", kSortUsage,
       "Loads IN, sorts every contact (by name or id) or every channel (by name or rx_frequency) in\n"
       "use, stably, names without case, saves to OUT and prints \"moved N\" (records whose number\n"
       "changed). Every reference follows its record as a move takes it along. Exits 0; 2 when IN\n"
       "does not load; 10 + the negated save code.",
       kOwnArguments, sortCommand},
  };
  return all;
}

void printHelp() {
  std::printf("usage: plugwright-cli COMMAND ARGS...\n\nCommands:\n");
  for (const auto& c : commands()) std::printf("  %s\n", c.usage);
  std::printf("\nplugwright-cli COMMAND --help describes one command. A command used wrongly\n"
              "(unknown, or with the wrong number of arguments) exits 64.\n");
}

}  // namespace

// The text form of a full code plug is some 20 MB of small objects, each 4 KB page of them
// costing a fault when first touched: that was most of a dump's, build's or diff's time. The
// heap is taken 64 MB at a time and offered to the kernel for 2 MB pages, so a command touches
// a few dozen pages instead of thousands. Where the kernel gives none, nothing changes.
void heapInLargePages() {
#if defined(__linux__) && defined(__GLIBC__)
  constexpr std::size_t kPad = 64 << 20, kLarge = 2 << 20;
  mallopt(M_TOP_PAD, int(kPad));
  mallopt(M_TRIM_THRESHOLD, int(2 * kPad));
  mallopt(M_MMAP_THRESHOLD, int(kPad));  // big buffers on the heap too, reused instead of mapped anew
  void* first = std::malloc(kLarge);     // grows the heap by the pad now
  const auto begin = (reinterpret_cast<std::uintptr_t>(first) + kLarge - 1) & ~(kLarge - 1);
  const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  if (first && end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  std::free(first);
#endif
}

int main(int argc, char** argv) {
  heapInLargePages();
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    printHelp();
    return argc < 2 ? kUsageStatus : 0;
  }
  for (const auto& c : commands()) {
    if (c.name != std::string(argv[1])) continue;
    std::vector<std::string> args(argv + 2, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
      std::printf("usage: plugwright-cli %s\n\n%s\n", c.usage, c.help);
      return 0;
    }
    const bool optionalOut = c.arguments < 0 && (args.size() == 1 || args.size() == 2);
    if (c.arguments != kOwnArguments && int(args.size()) != c.arguments && !optionalOut)
      return usageError(c.usage);
    return c.run(args);
  }
  std::fprintf(stderr, "unknown command: %s\n", argv[1]);
  printHelp();
  return kUsageStatus;
}
