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

#include "channels/ChannelRecord.h"
#include "codeplug/CodePlugDocument.h"
#include "codeplug/FileWriter.h"
#include "codeplug/RecordList.h"
#include "codeplug/Text.h"
#include "contacts/ContactFiles.h"
#include "contacts/ContactList.h"
#include "exchange/ChannelCsv.h"
#include "exchange/UserDatabase.h"
#include "textform/TextDiff.h"
#include "textform/TextYaml.h"
#include "validation/Validation.h"
#include "wizard/Generate.h"
#include "Version.h"

namespace {

// A command line has no one to answer a question: errors go to standard error,
// refusals stop, and the password warning is answered Yes (saving was asked for).
class CliPrompt final : public pw::Prompt {
public:
  pw::RefusalAnswer refuse(const std::string& text) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    return pw::RefusalAnswer::Stop;
  }
  void error(const std::string& text) override {
    if (!quiet) std::fprintf(stderr, "%s\n", text.c_str());
  }
  bool warnYesNo(const std::string&) override { return true; }
  pw::Answer question(const std::string&, bool) override { return pw::Answer::Yes; }
  void inform(const std::string&, const std::string& text) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  bool quiet = false;  // while the command says a failure in its own words
};

// ---- exit statuses: every status a command returns comes from this table, and --help
// prints it. A family turns the model's negative code into base - code. A status may have a
// row of its own for the commands that give it another meaning. ----
enum class Exit {
  Ok,
  Differ,
  Load,
  InLoad,
  BadValue,
  PlanUnreadable,
  Unreadable,
  NothingMade,
  Save,
  ContactExport,
  ContactImport,
  Usage
};

struct ExitRow {
  Exit exit;
  int status;  // a family's base
  const char* shown;
  const char* meaning;
  const char* commands;  // those it is said of; nullptr: every command
};

constexpr ExitRow kExitTable[] = {
    {Exit::Ok, 0, "0", "success", nullptr},
    {Exit::Ok, 0, "0", "the files are equal", "diff"},
    {Exit::Ok, 0, "0", "nothing found", "validate"},
    {Exit::Differ, 1, "1", "the files differ", "diff"},
    {Exit::Differ, 1, "1", "findings, one a line; the radio accepts the file as it is", "validate"},
    {Exit::Load, 0, "1-9",
     "FILE or IN does not load: the load code negated (1 cannot be opened; 2, 4, 5 cannot be read; 3 not a "
     "code plug's size; 6-9 not a DfuSe file of one image)",
     "check normalise export-contacts import-contacts"},
    {Exit::InLoad, 2, "2", "IN does not load; the load message names it",
     "export-channels import-channels dump validate import-userdb sort generate"},
    {Exit::InLoad, 2, "2", "A or B does not load; the load message names it", "diff"},
    {Exit::BadValue, 2, "2", "an --id-prefix is not digits, or a --country matches no row of CSV; the value is named",
     "import-userdb"},
    {Exit::PlanUnreadable, 2, "2",
     "PLAN, or a repeater or talkgroup list it names, cannot be read or holds an error; the message names "
     "the file, the line and the key",
     "generate"},
    {Exit::Unreadable, 3, "3", "CSV cannot be read: missing, not text, or not of a layout read here",
     "import-channels import-userdb"},
    {Exit::Unreadable, 3, "3",
     "TEXT cannot be read or has an error, named with its line and field; nothing is written", "build"},
    {Exit::Unreadable, 3, "3", "OUT cannot be written", "dump"},
    {Exit::NothingMade, 3, "3", "no channel could be made (every entry left out); nothing is written",
     "generate"},
    {Exit::Save, 10, "12, 13",
     "OUT cannot be written: 12 it cannot be created or replaced (a folder, device or pipe, or a file that may "
     "not be written), 13 writing failed and a previous OUT is as it was",
     "normalise import-contacts export-channels import-channels build import-userdb sort generate"},
    {Exit::ContactExport, 20, "22-25",
     "22 OUT's name is too short (at least 5 characters), 23 it ends neither in .txt nor in .csv, 24 it cannot "
     "be created, 25 writing failed",
     "export-contacts"},
    {Exit::ContactImport, 30, "32, 33",
     "32 FILE's name is too short, 33 it ends neither in .txt nor in .csv or cannot be opened", "import-contacts"},
    {Exit::Usage, 64, "64", "wrong usage: an unknown command or option, a missing or extra argument", nullptr},
};

constexpr int exitStatus(Exit e) {
  for (const ExitRow& row : kExitTable)
    if (row.exit == e) return row.status;
  throw "an Exit without a row";
}
// Every Exit has a row, and its rows agree on the status.
static_assert([] {
  for (int e = 0; e <= int(Exit::Usage); ++e) exitStatus(Exit(e));
  for (const ExitRow& row : kExitTable)
    if (row.status != exitStatus(row.exit)) return false;
  return true;
}());
// A family's status for the model's code; 0 stays 0.
int exitStatus(Exit family, int code) { return code == 0 ? 0 : exitStatus(family) - code; }

// Saves as the editor does; a failure names the file and the system's reason. 0 or the save code.
int save(CliPrompt& prompt, pw::CodePlugDocument& doc, const std::string& path) {
  prompt.quiet = true;
  const int code = doc.saveCodePlug(path);
  prompt.quiet = false;
  if (code == pw::kSaveCreate || code == pw::kSaveWrite)
    std::fprintf(stderr, "Could not %s %s: %s\n", code == pw::kSaveCreate ? "create" : "write to",
                 path.c_str(), std::strerror(doc.saveError()));
  return code;
}

constexpr int kOwnArguments = -2;

struct Command {
  const char* name;
  const char* usage;
  const char* summary;  // one line for the list of commands
  const char* help;
  int arguments;  // -1: IN with an optional OUT; kOwnArguments: the command checks them
  std::function<int(const std::vector<std::string>&)> run;
};

// Loads a file with every check; on failure prints the load message and returns its exit status.
int load(pw::CodePlugDocument& doc, const std::string& path) {
  const int code = doc.loadCodePlug(path, true);
  if (code != 0) return exitStatus(Exit::Load, code);
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
  return exitStatus(Exit::Save, save(prompt, doc, args[1]));
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
  return exitStatus(Exit::ContactExport, code);
}

int importContactsCommand(const std::vector<std::string>& args) {
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (const int rc = load(doc, args[0])) return rc;
  const int before = pw::usedCount(doc, pw::ListId::Contacts);
  const int code = pw::importContacts(doc, args[1]);
  if (code != 0) {
    explainContactFileCode(code);
    return exitStatus(Exit::ContactImport, code);
  }
  if (const int saved = save(prompt, doc, args[2])) return exitStatus(Exit::Save, saved);
  std::printf("imported: %d\n", pw::usedCount(doc, pw::ListId::Contacts) - before);
  return 0;
}

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
  return exitStatus(Exit::Usage);
}

int exportChannelsCommand(const std::vector<std::string>& args) {
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (load(doc, args[0])) return exitStatus(Exit::InLoad);
  return exitStatus(Exit::Save, pw::exchange::exportChannels(doc, args[1]));
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
  if (load(doc, w.positional[0])) return exitStatus(Exit::InLoad);
  const pw::exchange::ChannelPlan plan = pw::exchange::readChannelFile(doc, csvFile, read);
  if (!plan.readable()) {
    std::fprintf(stderr, "%s: %s\n", csvFile.c_str(), plan.report.failure.c_str());
    return exitStatus(Exit::Unreadable);
  }
  for (const std::string& column : plan.report.unreadColumns)
    std::fprintf(stderr, "%s: column \"%s\" is not read\n", csvFile.c_str(), column.c_str());
  const pw::exchange::Report result = dryRun ? pw::exchange::previewChannelPlan(doc, plan, {})
                                             : pw::exchange::applyChannelPlan(doc, plan, {});
  if (!dryRun)
    if (const int saved = save(prompt, doc, w.positional[2])) return exitStatus(Exit::Save, saved);
  for (const std::string& line : pw::exchange::reportLines(result)) std::printf("%s\n", line.c_str());
  return 0;
}

const char* const kGenerateUsage = "generate IN PLAN OUT [--dry-run]";

int generateCommand(const std::vector<std::string>& args) {
  const Words w = splitWords(args, {}, {"dry-run"});
  if (w.wrong || w.positional.size() != 3) return usageError(kGenerateUsage);
  const bool dryRun = !w.options.empty();
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (load(doc, w.positional[0])) return exitStatus(Exit::InLoad);
  const pw::wizard::PlanRun run = pw::wizard::readPlanRun(w.positional[1]);
  if (!run.error.empty()) {
    std::fprintf(stderr, "%s\n", run.error.c_str());
    return exitStatus(Exit::PlanUnreadable);
  }
  const pw::exchange::Report report = dryRun ? pw::wizard::previewGeneration(doc, run.plan, run.sources)
                                             : pw::wizard::generate(doc, run.plan, run.sources);
  if (!dryRun && !report.added.empty())
    if (const int saved = save(prompt, doc, w.positional[2])) return exitStatus(Exit::Save, saved);
  for (const std::string& line : pw::wizard::generationLines(report)) std::printf("%s\n", line.c_str());
  return exitStatus(report.added.empty() ? Exit::NothingMade : Exit::Ok);
}

// Loads as stored (the nine checks, no normalisation); the load message names the file.
int loadAsStored(pw::CodePlugDocument& doc, const std::string& path) {
  const int code = doc.loadCodePlug(path, false, pw::CodePlugDocument::LoadMode::AsStored);
  if (code == 0) return 0;
  std::fprintf(stderr, "%s: %s\n", path.c_str(), pw::loadMessage(code));
  return exitStatus(Exit::InLoad);
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
    return exitStatus(Exit::Unreadable);
  }
  return 0;
}

int build(const std::vector<std::string>& args) {
  std::ifstream in(args[0], std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) {
    std::fprintf(stderr, "%s: could not read the text\n", args[0].c_str());
    return exitStatus(Exit::Unreadable);
  }
  auto built = pw::text::buildFile(text.str());
  if (const auto* e = std::get_if<pw::text::TextError>(&built)) {
    std::fprintf(stderr, "%s: %s\n", args[0].c_str(), pw::text::describeError(*e).c_str());
    return exitStatus(Exit::Unreadable);
  }
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  doc.adoptImage(std::move(std::get<std::vector<std::uint8_t>>(built)));
  if (const int code = save(prompt, doc, args[1])) return exitStatus(Exit::Save, code);
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
  return exitStatus(lines.empty() ? Exit::Ok : Exit::Differ);
}

// Findings are warnings: the radio accepts the file as it is.
int validateCommand(const std::vector<std::string>& args) {
  pw::CodePlugDocument doc;
  if (const int rc = loadAsStored(doc, args[0])) return rc;
  const auto findings = pw::validate(doc);
  for (const auto& f : findings) std::printf("%s\n", pw::findingLine(f).c_str());
  return exitStatus(findings.empty() ? Exit::Ok : Exit::Differ);
}

const char* const kImportUserDbUsage =
    "import-userdb IN CSV OUT [--id-prefix P,...] [--country C]... [--callsign-prefix P,...] [--dry-run]";

int importUserDbCommand(const std::vector<std::string>& args) {
  const Words w = splitWords(args, {"id-prefix", "country", "callsign-prefix"}, {"dry-run"});
  if (w.wrong || w.positional.size() != 3) return usageError(kImportUserDbUsage);
  pw::exchange::Filter filter;
  bool dryRun = false;
  for (const auto& [name, value] : w.options) {
    if (name == "dry-run") {
      dryRun = true;
      continue;
    }
    // A country is given whole, commas and all; several countries as several options.
    if (name == "country") {
      filter.countries.push_back(value);
      continue;
    }
    auto& into = name == "id-prefix" ? filter.idPrefixes : filter.callsignPrefixes;
    for (std::string& item : pw::exchange::splitList(value)) into.push_back(std::move(item));
  }
  for (const std::string& prefix : filter.idPrefixes)
    if (!pw::parseInteger(prefix, 0, INT64_MAX)) {
      std::fprintf(stderr, "--id-prefix \"%s\" is not digits\n", prefix.c_str());
      return exitStatus(Exit::BadValue);
    }
  CliPrompt prompt;
  pw::CodePlugDocument doc(&prompt);
  if (load(doc, w.positional[0])) return exitStatus(Exit::InLoad);
  pw::exchange::Database db;
  const auto status = pw::exchange::readDatabase(w.positional[1], db);
  if (status != pw::exchange::ReadStatus::Ok) {
    std::fprintf(stderr, "%s: %s\n", w.positional[1].c_str(), pw::exchange::readMessage(status));
    return exitStatus(Exit::Unreadable);
  }
  for (const auto& row : db.malformed())
    std::fprintf(stderr, "%s:%d: %s\n", w.positional[1].c_str(), row.line,
                 pw::exchange::skipText(row).c_str());
  for (const std::string& country : filter.countries)
    if (!db.country(country)) {
      std::fprintf(stderr, "--country \"%s\" matches no row of %s\n", country.c_str(),
                   w.positional[1].c_str());
      return exitStatus(Exit::BadValue);
    }
  const pw::exchange::DatabasePlan plan = pw::exchange::makePlan(doc, db, filter);
  if (!dryRun) {
    pw::exchange::applyPlan(doc, db, plan);
    if (const int saved = save(prompt, doc, w.positional[2])) return exitStatus(Exit::Save, saved);
  }
  const pw::exchange::Report& report = plan.report;
  std::printf("added %zu\npresent %d\nmalformed %zu\nno room %d\n", plan.rows.size(), report.present,
              db.malformed().size(), report.noRoom);
  if (report.namesChanged > 0) std::printf("%s\n", pw::exchange::namesNote(report.namesChanged).c_str());
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
  if (load(doc, w.positional[0])) return exitStatus(Exit::InLoad);
  const std::vector<int> where =
      contacts ? pw::sortContacts(doc, {}, by == "name" ? pw::ContactSort::Name : pw::ContactSort::Id)
               : pw::sortChannels(doc, {}, by == "name" ? pw::ChannelSort::Name : pw::ChannelSort::RxFrequency);
  if (const int saved = save(prompt, doc, w.positional[1])) return exitStatus(Exit::Save, saved);
  int moved = 0;
  for (std::size_t i = 0; i < where.size(); ++i) moved += where[i] != int(i) ? 1 : 0;
  std::printf("moved %d\n", moved);
  return 0;
}

std::vector<Command>& commands() {
  static std::vector<Command> all = {
      {"check", "check FILE", "load a code plug and show how full each list is",
       "Loads FILE with every check and list normalisation. On success prints how full each list is\n"
       "and whether loading changed the file. On failure prints the load message.",
       1, check},
      {"normalise", "normalise IN OUT", "load a code plug and save it as the editor would",
       "Loads IN (checks and normalisation) and saves the image to OUT. A code plug with passwords is\n"
       "saved without asking. A DfuSe suffix CRC that matched IN is computed over the saved bytes;\n"
       "one that did not is kept as it was. A symbolic link OUT is followed; hard links of OUT stay\n"
       "linked. A failure prints its message.",
       2, normalise},
      {"export-contacts", "export-contacts IN OUT", "write the contacts to a .txt or .csv file",
       "Loads IN and writes its contacts to OUT: the sectioned text format when OUT ends in .txt,\n"
       "the comma-separated format when it ends in .csv (either case). An existing OUT is replaced\n"
       "only when the whole file was written. A failure prints its message.",
       2, exportContactsCommand},
      {"import-contacts", "import-contacts IN FILE OUT", "add the contacts of a .txt or .csv file",
       "Loads IN, appends the contacts of FILE (.txt or .csv) after the last contact, skipping call\n"
       "IDs already present and stopping at 1000 contacts, saves the result to OUT and prints\n"
       "\"imported: N\". A failure prints its message.",
       3, importContactsCommand},
      {"export-channels", "export-channels IN OUT.csv", "write every channel to a CSV file",
       "Loads IN and writes every channel in use, in channel order, to OUT.csv: UTF-8, CRLF line\n"
       "ends, quoted fields where needed. The first line names the columns: number, name, the\n"
       "channel keys of dump, then zones (the names of the zones holding the channel, joined by |).\n"
       "References are written as the referred record's name, or #NUMBER when the name is shared\n"
       "or the record is free, or None. An existing OUT is replaced only when the whole file was\n"
       "written.",
       2, exportChannelsCommand},
      {"import-channels", kImportChannelsUsage, "add or update channels from a CSV file",
       "Loads IN, reads the channels of CSV and saves the result to OUT. CSV is either the layout\n"
       "export-channels writes (columns in any order, rx_frequency among them; missing ones taking\n"
       "a new channel's values, a missing tx_frequency the receive frequency) or an analogue\n"
       "channel list (Location,Name,Frequency,Duplex,Offset,Tone,...), separated by commas, tabs or\n"
       "semicolons (a decimal comma then read as a point). Names are written without accents. New\n"
       "channels are added after the last one until 1000 are in use; with --update a row whose\n"
       "number names a channel in use overwrites the fields the file gives. Rows the radio cannot\n"
       "hold are skipped. Prints \"added N\", \"updated N\", one \"line L: REASON\" (\"lines L-M\"\n"
       "for a row over several lines) per skipped row and one \"note line L: TEXT\" per remark.\n"
       "--dry-run prints the same and writes nothing.",
       kOwnArguments, importChannelsCommand},
      {"dump", "dump IN [OUT]", "write a code plug as a YAML text",
       "Writes the whole code plug IN as a YAML text to OUT (standard output without OUT): every\n"
       "section in the order of the tabs, each record in use with its number and its fields as the\n"
       "tab shows them (a stored number with the shown text in a comment where the text would not\n"
       "give the same bits), and under \"rest\" every bit no field covers, as hex. IN is read as\n"
       "stored: the nine load checks apply, nothing is normalised. \"suffix_crc\" says whether the\n"
       "DfuSe suffix CRC matched the file (\"matches\") or gives the stored value that did not.",
       -1, dump},
      {"build", "build TEXT OUT", "turn a YAML text back into a code plug",
       "Turns a text written by dump (edited or not) into the RDT file OUT; an unchanged text gives\n"
       "the dumped file byte for byte. Edited values are stored as the tabs store them (frequencies\n"
       "clamped into the radio's band). A suffix CRC that \"matches\" is computed over the built\n"
       "file; a number is written as it stands. What validate finds in the result is printed on\n"
       "standard error as warnings. An error in the text (unknown section or field, a key given\n"
       "twice, a value that is neither a choice's text nor a number the field can hold, a name\n"
       "longer than its field or with a character outside printable ASCII that is not written\n"
       "\\xNN, a YAML anchor, alias or tag, malformed YAML) is named with its line and field, and\n"
       "nothing is written.",
       2, build},
      {"diff", "diff A B", "compare two code plugs field by field",
       "Compares two code plugs section by section in the words of dump: records matched by\n"
       "number, added, removed, moved (the same bytes under another number) or changed (each\n"
       "field old -> new), then the differing rest bytes.",
       2, diff},
      {"validate", "validate IN", "list what the radio accepts but users get wrong",
       "Reads IN as stored (the load checks apply; nothing is packed) and lists what the radio\n"
       "accepts but users get wrong, one line each: SECTION RECORD: sentence. Checked: references\n"
       "to free records or beyond their list, digital channels without a contact, transmit\n"
       "frequencies outside the radio's band, contacts with the same ID and call type, scan list\n"
       "priority and designated channels that are not members, repeated members of zones, rx group\n"
       "lists and scan lists, zones without members.",
       1, validateCommand},
      {"import-userdb", kImportUserDbUsage, "add contacts from the DMR user database",
       "Loads IN and appends, after the last contact, a contact for every row of the DMR user\n"
       "database CSV that the filters let through: call ID = RADIO_ID, name = CALLSIGN, a blank and\n"
       "FIRST_NAME (16 characters), Private call, receive tone off. Columns are found by name in the\n"
       "first line. --id-prefix keeps IDs starting with one of the digits given, --country the\n"
       "COUNTRY value given (case ignored; repeat it for several countries), --callsign-prefix\n"
       "callsigns starting with one of the prefixes; several kinds must all match. Rows whose ID is\n"
       "a contact already or came earlier are present; rows without a whole RADIO_ID in\n"
       "1..16777215 or without CALLSIGN are malformed (each named on standard error with its line);\n"
       "rows beyond 1000 contacts find no room. Names are written without accents, the callsign in\n"
       "capitals. Saves to OUT (nothing with --dry-run) and prints \"added N\", \"present N\",\n"
       "\"malformed N\", \"no room N\", and \"note: N names written without accents\" when there\n"
       "were any.",
       kOwnArguments, importUserDbCommand},
      {"generate", kGenerateUsage, "build channels for an area from repeater and talkgroup lists",
       "Loads IN, builds digital channels for an area from the public repeater and talkgroup lists\n"
       "as the JSON file PLAN says (the wizard's plan: see the README), saves the result to OUT and\n"
       "prints \"channels N\", \"zones N\", \"scan_lists N\", \"rx_group_lists N\", \"contacts N\",\n"
       "one \"CALLSIGN: REASON\" per entry left out and one \"note ...\" per remark (references\n"
       "that \"start\": \"empty\" set to none). The lists' paths count from PLAN's folder. --dry-run\n"
       "prints the same and writes nothing.",
       kOwnArguments, generateCommand},
      {"sort", kSortUsage, "sort the contacts or the channels",
       "Loads IN, sorts every contact (by name or id) or every channel (by name or rx_frequency) in\n"
       "use, stably, names without case, saves to OUT and prints \"moved N\" (records whose number\n"
       "changed). Every reference follows its record as a move takes it along.",
       kOwnArguments, sortCommand},
  };
  return all;
}

// LABEL in the first columns, then TEXT from column `indent`, wrapped before column 80.
void printColumns(const std::string& label, const std::string& text, std::size_t indent) {
  std::string line = label;
  bool first = true;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    const bool fits = line.size() + 1 + word.size() < 80;
    if (!first && !fits) {
      std::printf("%s\n", line.c_str());
      line.clear();
    }
    if (line.size() < indent) line.resize(indent, ' ');
    else if (!first && fits) line += ' ';
    line += word;
    first = false;
  }
  std::printf("%s\n", line.c_str());
}

bool names(const char* commands, const std::string& command) {
  std::istringstream words(commands);
  for (std::string word; words >> word;)
    if (word == command) return true;
  return false;
}

// The statuses one command gives, or every row with the commands it is said of.
void printExitStatuses(const char* command) {
  std::printf("\nExit statuses:\n");
  for (const ExitRow& row : kExitTable) {
    std::string meaning = row.meaning;
    if (command) {
      // A command's own row stands in for the general one of the same status.
      const auto own = [&](const ExitRow& r) {
        return r.commands && names(r.commands, command) && std::string(r.shown) == row.shown;
      };
      if (row.commands ? !names(row.commands, command) : std::any_of(std::begin(kExitTable), std::end(kExitTable), own))
        continue;
    } else if (row.commands) {
      std::istringstream words(row.commands);
      std::string word, said;
      while (words >> word) said += (said.empty() ? "" : ", ") + word;
      meaning += " (" + said + ")";
    }
    printColumns("  " + std::string(row.shown), meaning, 10);
  }
}

void printHelp() {
  std::printf("usage: plugwright-cli COMMAND ARGUMENTS...\n"
              "       plugwright-cli COMMAND --help\n"
              "       plugwright-cli --help | --version\n\n"
              "Checks, converts and edits the code plug (.rdt file) of a DMR radio.\n\nCommands:\n");
  for (const auto& c : commands()) {
    std::printf("  %s\n", c.usage);
    printColumns("", c.summary, 6);
  }
  std::printf("\nOptions:\n"
              "  -h, --help  show this help; after a command, that command's help\n"
              "  --version   show the program's name and version\n");
  printExitStatuses(nullptr);
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
    return exitStatus(argc < 2 ? Exit::Usage : Exit::Ok);
  }
  if (!std::strcmp(argv[1], "--version")) {
    std::printf("plugwright-cli %s\n", PLUGWRIGHT_VERSION);
    return 0;
  }
  for (const auto& c : commands()) {
    if (c.name != std::string(argv[1])) continue;
    std::vector<std::string> args(argv + 2, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
      std::printf("usage: plugwright-cli %s\n\n%s\n", c.usage, c.help);
      printExitStatuses(c.name);
      return 0;
    }
    const bool optionalOut = c.arguments < 0 && (args.size() == 1 || args.size() == 2);
    if (c.arguments != kOwnArguments && int(args.size()) != c.arguments && !optionalOut)
      return usageError(c.usage);
    return c.run(args);
  }
  std::fprintf(stderr, "unknown command: %s\n", argv[1]);
  printHelp();
  return exitStatus(Exit::Usage);
}
