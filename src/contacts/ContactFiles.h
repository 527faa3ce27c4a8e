#pragma once
// Contact import and export: a sectioned key=value text file (".txt") and a
// comma-separated file (".csv"), chosen by the file name's extension.

#include <string>

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

}  // namespace pw
