#pragma once
// The members of a zone, an rx group list or a scan list: 16-bit words in the owner's
// record that hold numbers of the referred list (channels or contacts). The member
// lists are described by MemberListLayout; every operation here is written once over it.
//
// A word of 0 or above the referred list's range is an empty position and is not shown.
// Packing on load removes only zero words, so such a hidden word may sit between two
// members: the operations take member rows (the shown members, in position order) and
// map them to their real positions, so a hidden word is never mistaken for a member.

#include <string>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/RecordList.h"

namespace pw {

// One shown member: its 0-based position in the record and the record number it holds.
struct MemberRow {
  int position;
  int number;
};

// The shown members of record `index` of `owner`, in position order; a word naming a
// free record is shown too. Empty without an image or for a bad index.
std::vector<MemberRow> memberRows(const CodePlugDocument& doc, ListId owner, int index);
// The referred records in use that no member word of the record holds, as ascending
// 1-based numbers (the available channels of a zone or scan list, the available
// contacts of a group list).
std::vector<int> availableRecords(const CodePlugDocument& doc, ListId owner, int index);

// Adds each number in turn to the first empty position (0 or out of range); a number
// already held, out of range, or finding no empty position is skipped. Returns how many
// were added.
int addMembers(CodePlugDocument& doc, ListId owner, int index, const std::vector<int>& numbers);
// Clears every position holding one of the numbers, then closes the gaps keeping the
// order. True when anything was removed.
bool removeMembers(CodePlugDocument& doc, ListId owner, int index, const std::vector<int>& numbers);
// Moves the member of row `row` by delta rows (positive towards row 0), the members in
// between shifting by one; the target row is clamped to the shown members and hidden
// words keep their positions.
void moveMember(CodePlugDocument& doc, ListId owner, int index, int row, int delta);
// The selection move of the member rows (ascending); returns the rows they occupy afterwards.
std::vector<int> moveSelectedMembers(CodePlugDocument& doc, ListId owner, int index,
                                     const std::vector<int>& rows, int delta);

// ---- the cells of the available and members lists ----
enum class MemberColumn {
  Number,  // "Chan" / "No.": the record number
  Name,    // the decoded name; empty for a free record
  Detail,  // channels: "Mode"; contacts: "ID", the call ID in decimal
};
std::string memberCell(const CodePlugDocument& doc, ListId owner, int number, MemberColumn column);
// "Auto", "Analogue", "Digital" or "Unknown <n>" for a channel's mode bits.
std::string channelModeText(int modeBits);

}  // namespace pw
