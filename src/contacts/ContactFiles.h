#pragma once
// Contact import and export: a sectioned key=value text file (".txt") and a
// comma-separated file (".csv"), chosen by the file name's extension.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/CodePlugDocument.h"

namespace pw {

enum ContactFileCode {
  kContactFileOk = 0,
  kContactFileNoImage = -1,
  kContactFileNameTooShort = -2,
  kContactFileFormatOrOpen = -3,  // unknown extension; on import also a file that cannot be opened
                                  // (missing, unreadable, or not a regular file)
  kContactFileCreate = -4,        // export only: the file cannot be created or replaced
  kContactFileWrite = -5,         // export only: writing failed
};

// Appends the file's contacts after the last contact in use. Entries whose call ID
// is already in the list are skipped; the import stops when the list is full.
// 0 (also when nothing was added) or a ContactFileCode; errors go to doc.prompt().
int importContacts(CodePlugDocument& doc, const std::string& fileName);

// Writes every contact in use through the document's FileWriter (links followed,
// hard links kept, a read-only or non-regular target refused with kContactFileCreate).
// A failed export leaves an existing file of that name as it was.
int exportContacts(const CodePlugDocument& doc, const std::string& fileName);

// ---- the pieces a paste of contacts shares ----
// A contact as a file gives it.
struct ContactEntry {
  std::uint32_t id;
  std::string name;
  int callType;
  bool rxTone;
};
// The lines the import reads of a text: each cut at its first control character and
// trimmed, a long one taken as several of 255 characters, empty ones dropped; with the
// line of the text each comes from (from 1).
struct ContactFileLine {
  int line;
  std::string text;
};
std::vector<ContactFileLine> contactFileLines(std::string_view content);
// One such line of the comma-separated file (ID,name[,extra] or four quoted fields): the
// contact, or nothing for a line of neither layout.
std::optional<ContactEntry> readContactCsvLine(std::string_view line);
// Writes the entry into `slot` as the import stores it: call ID, the flags byte with bits
// 6-7 set, the type and the receive tone, and the name.
void storeContact(CodePlugDocument& doc, int slot, const ContactEntry& entry);

}  // namespace pw
