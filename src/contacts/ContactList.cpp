#include "contacts/ContactList.h"

#include <algorithm>
#include <cctype>

#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"

namespace pw {
namespace {

constexpr ListId kList = ListId::Contacts;

// "Displatch" is the radio software's own spelling and is kept.
constexpr const char* kCallTypeTexts[8] = {
    "-", "Group call", "Private call", "All call", "Displatch call", "PC call", "Unknown", "Unknown"};

// A contact that exists: an image is loaded and the index names a slot.
MutableByteSpan editable(CodePlugDocument& doc, int index) {
  return doc.hasImage() ? recordBytes(doc, kList, index) : MutableByteSpan{};
}

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::optional<std::uint32_t> parseCallId(std::string_view text) {
  const std::string t = trimControls(text);
  if (t.empty()) return std::nullopt;
  std::uint32_t v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + std::uint32_t(c - '0');
    if (v > kMaxCallId) return std::nullopt;
  }
  return v;
}

}  // namespace

const char* callTypeText(int code) { return kCallTypeTexts[code & 7]; }

std::uint32_t contactCallId(const CodePlugDocument& doc, int index) {
  return get(recordBytes(doc, kList, index), kContactCallId);
}
int contactCallType(const CodePlugDocument& doc, int index) {
  return int(get(recordBytes(doc, kList, index), kContactCallType));
}
bool contactRxTone(const CodePlugDocument& doc, int index) {
  return get(recordBytes(doc, kList, index), kContactRxTone) != 0;
}

std::optional<int> addContact(CodePlugDocument& doc) {
  const int slot = addRecord(doc, kList);
  if (slot < 0) return std::nullopt;
  return slot;
}

bool setContactName(CodePlugDocument& doc, int index, std::string_view text) {
  return doc.hasImage() && renameRecord(doc, kList, index, text);
}

bool setCallId(CodePlugDocument& doc, int index, std::string_view text) {
  MutableByteSpan r = editable(doc, index);
  const auto id = parseCallId(text);
  if (r.empty() || !id) return false;
  set(r, kContactCallId, *id);
  return true;
}

void cycleCallType(CodePlugDocument& doc, int index) {
  MutableByteSpan r = editable(doc, index);
  if (r.empty()) return;
  const std::uint32_t next = get(r, kContactCallType) + 1;
  set(r, kContactCallType, next > kAllCall ? std::uint32_t(kGroupCall) : next);
}

void toggleRxTone(CodePlugDocument& doc, int index) {
  MutableByteSpan r = editable(doc, index);
  if (!r.empty()) set(r, kContactRxTone, get(r, kContactRxTone) ^ 1u);
}

void setSelectedCallType(CodePlugDocument& doc, const std::vector<int>& rows, int code) {
  for (int row : rows)
    if (MutableByteSpan r = editable(doc, row); !r.empty()) set(r, kContactCallType, std::uint32_t(code));
}

void setSelectedRxTone(CodePlugDocument& doc, const std::vector<int>& rows, bool on) {
  for (int row : rows)
    if (MutableByteSpan r = editable(doc, row); !r.empty()) set(r, kContactRxTone, on ? 1u : 0u);
}

int moveContact(CodePlugDocument& doc, int from, int delta) { return moveRecord(doc, kList, from, delta); }

std::vector<int> moveSelectedContacts(CodePlugDocument& doc, const std::vector<int>& rows, int delta) {
  return moveSelectedRecords(doc, kList, rows, delta);
}

std::vector<int> sortContacts(CodePlugDocument& doc, const std::vector<int>& rows, ContactSort by) {
  if (by == ContactSort::Name) return sortRecordsByName(doc, kList, rows);
  return sortRecordsByKey(doc, kList, rows, [&](int i) { return contactCallId(doc, i); });
}

int deleteContact(CodePlugDocument& doc, int n) { return deleteRecord(doc, kList, n); }

int deleteSelectedContacts(CodePlugDocument& doc, const std::vector<int>& rows) {
  return deleteSelectedRecords(doc, kList, rows);
}

std::string contactCell(const CodePlugDocument& doc, int index, ContactColumn column, bool showNo) {
  if (recordBytes(doc, kList, index).empty()) return {};
  switch (column) {
    case ContactColumn::No:
      return std::to_string(index + 1);
    case ContactColumn::Name:
      return recordName(doc, kList, index);
    case ContactColumn::Id:
      return std::to_string(contactCallId(doc, index));
    case ContactColumn::Type:
      return callTypeText(contactCallType(doc, index));
    case ContactColumn::RxTone:
      return contactRxTone(doc, index) ? "Yes" : showNo ? "No" : "";
  }
  return {};
}

std::vector<int> searchContacts(const CodePlugDocument& doc, std::string_view text, bool showNo) {
  const std::string wanted = lowerCase(trimControls(text));
  std::vector<int> rows;
  if (wanted.empty() || !doc.hasImage()) return rows;
  for (int i = 0; i < layoutOf(kList).count; ++i) {
    if (!inUse(doc, kList, i)) continue;
    for (ContactColumn c : kContactColumns) {
      if (lowerCase(trimControls(contactCell(doc, i, c, showNo))).find(wanted) != std::string::npos) {
        rows.push_back(i);
        break;
      }
    }
  }
  return rows;
}

}  // namespace pw
