#pragma once
// The digital contact list: call targets that channels, rx group lists, the
// one-touch and number-key buttons and GPS systems refer to by 1-based number.
// Slot access, add, delete and move run on the shared record-list machinery; this
// file adds the contact's own fields, its editing rules and the texts of its grid.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/Bytes.h"
#include "codeplug/CodePlugDocument.h"

namespace pw {

// Record fields (36 bytes: call ID, flags, 16-unit name at byte 4).
constexpr BitField kContactCallId{0, 0, 24};
constexpr BitField kContactCallType{3, 0, 3};
constexpr BitField kContactRxTone{3, 5, 1};
constexpr BitField kContactFields[] = {kContactCallId, kContactCallType, kContactRxTone};
static_assert(fieldsDisjoint(kContactFields));

constexpr std::uint32_t kMaxCallId = 0xFFFFFF;
// Call IDs from here on are private (individual) IDs; below are talk groups.
constexpr std::uint32_t kFirstPrivateId = 1000000;

enum CallType : int {
  kNoCallType = 0,
  kGroupCall = 1,
  kPrivateCall = 2,
  kAllCall = 3,
  kDispatchCall = 4,
  kPcCall = 5
};
// The call type of a contact read from a file or a paste that gives none.
constexpr int callTypeForId(std::uint32_t id) { return id < kFirstPrivateId ? kGroupCall : kPrivateCall; }

// Text shown for a call type code (0..7).
const char* callTypeText(int code);

// ---- reading one contact (slot index 0..999) ----
std::uint32_t contactCallId(const CodePlugDocument& doc, int index);
int contactCallType(const CodePlugDocument& doc, int index);
bool contactRxTone(const CodePlugDocument& doc, int index);

// ---- editing (every function does nothing without an image or for a bad index) ----
// Adds "Contact <n>" in the first free slot; the slot, or nothing when the list is full.
std::optional<int> addContact(CodePlugDocument& doc);
// Stores the trimmed text (first 16 characters). An empty text changes nothing, so
// the list never gets a hole in the middle.
bool setContactName(CodePlugDocument& doc, int index, std::string_view text);
// Stores the trimmed text as the call ID when it is all digits and at most 16777215.
bool setCallId(CodePlugDocument& doc, int index, std::string_view text);
// Group -> Private -> All -> Group; every other code goes to Group call.
void cycleCallType(CodePlugDocument& doc, int index);
void toggleRxTone(CodePlugDocument& doc, int index);
void setSelectedCallType(CodePlugDocument& doc, const std::vector<int>& rows, int code);
void setSelectedRxTone(CodePlugDocument& doc, const std::vector<int>& rows, bool on);

// Moves the contact at slot `from` by delta places (positive towards slot 0) and
// renumbers every reference; returns its new 1-based number.
int moveContact(CodePlugDocument& doc, int from, int delta);
// The clamped block move of the selected rows; returns the rows they occupy afterwards.
std::vector<int> moveSelectedContacts(CodePlugDocument& doc, const std::vector<int>& rows, int delta);
// Sorts the selected rows among the places they hold (fewer than two: every contact), stably,
// by name without case or by call ID; references follow. Returns where each slot went.
enum class ContactSort { Name, Id };
std::vector<int> sortContacts(CodePlugDocument& doc, const std::vector<int>& rows, ContactSort by);
// Deletes contact number n unless something refers to it: 0 deleted, -1 refused and
// go on (also for a bad n or no image), -2 refused and stop.
int deleteContact(CodePlugDocument& doc, int n);
// Deletes the selected rows (ascending); returns how many were deleted.
int deleteSelectedContacts(CodePlugDocument& doc, const std::vector<int>& rows);

// ---- the grid ----
enum class ContactColumn { No, Name, Id, Type, RxTone };
constexpr ContactColumn kContactColumns[] = {ContactColumn::No, ContactColumn::Name, ContactColumn::Id,
                                             ContactColumn::Type, ContactColumn::RxTone};

// Text of one cell of the row for slot `index`. With showNo, an unset receive tone
// reads "No"; otherwise its cell is empty.
std::string contactCell(const CodePlugDocument& doc, int index, ContactColumn column, bool showNo);
// The rows (slots in use) any of whose cells contains the trimmed, lower-cased text;
// none for an empty text.
std::vector<int> searchContacts(const CodePlugDocument& doc, std::string_view text, bool showNo);

}  // namespace pw
