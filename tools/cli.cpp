// plugwright-cli: the editor's checks and file operations from a command line.
// It links the model only; every command loads through the same path as the editor.

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/RecordList.h"
#include "contacts/ContactFiles.h"

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
};

// The conventional exit status of a command used wrongly; kept apart from the load
// codes 1..9 and the operations' own statuses.
constexpr int kUsageStatus = 64;

struct Command {
  const char* name;
  const char* usage;
  const char* help;
  int arguments;
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

std::vector<Command>& commands() {
  static std::vector<Command> all = {
      {"check", "check FILE",
       "Loads FILE with every check and list normalisation. On success prints how full each list is\n"
       "and whether loading changed the file, and exits 0. On failure prints the load message and\n"
       "exits with the load code negated (1..9).",
       1, check},
      {"normalise", "normalise IN OUT",
       "Loads IN (checks and normalisation) and saves the image to OUT. A code plug with passwords is\n"
       "saved without asking. A symbolic link OUT is followed; hard links of OUT stay linked. Load\n"
       "failures exit 1..9; save failures print their message and exit 10 + the negated save code\n"
       "(12 OUT cannot be created or replaced: a folder, device or pipe, or a file that may not be\n"
       "written; 13 writing failed and OUT is as it was).",
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

int main(int argc, char** argv) {
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
    if (int(args.size()) != c.arguments) {
      std::fprintf(stderr, "usage: plugwright-cli %s\n", c.usage);
      return kUsageStatus;
    }
    return c.run(args);
  }
  std::fprintf(stderr, "unknown command: %s\n", argv[1]);
  printHelp();
  return kUsageStatus;
}
