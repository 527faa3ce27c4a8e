#include "membership/MemberList.h"

#include <algorithm>

#include "contacts/ContactList.h"

namespace pw {
namespace {

// The member words of one record; an empty span without an image or for a bad index.
template <typename Span>
struct Members {
  Span record;
  const MemberListLayout& layout;
  int range;  // numbers 1..range are members; any other word is an empty position

  int size() const { return record.empty() ? 0 : layout.slotCount; }
  int at(int position) const { return u16le(record, layout.offset + 2 * std::size_t(position)); }
  void set(int position, int value) {
    setU16le(record, layout.offset + 2 * std::size_t(position), std::uint16_t(value));
  }
  bool shown(int position) const { return at(position) >= 1 && at(position) <= range; }
  bool holds(int number) const {
    for (int p = 0; p < size(); ++p)
      if (at(p) == number) return true;
    return false;
  }
};

template <typename Doc>
auto membersOf(Doc& doc, ListId owner, int index) {
  const MemberListLayout& layout = memberLayoutOf(owner);
  using Span = decltype(recordBytes(doc, owner, index));
  return Members<Span>{doc.hasImage() ? recordBytes(doc, owner, index) : Span{}, layout,
                       layoutOf(layout.referred).count};
}

template <typename M>
std::vector<int> shownPositions(const M& m) {
  std::vector<int> positions;
  for (int p = 0; p < m.size(); ++p)
    if (m.shown(p)) positions.push_back(p);
  return positions;
}

}  // namespace

std::vector<MemberRow> memberRows(const CodePlugDocument& doc, ListId owner, int index) {
  const auto m = membersOf(doc, owner, index);
  std::vector<MemberRow> rows;
  for (int p : shownPositions(m)) rows.push_back({p, m.at(p)});
  return rows;
}

std::vector<int> availableRecords(const CodePlugDocument& doc, ListId owner, int index) {
  const auto m = membersOf(doc, owner, index);
  std::vector<int> numbers;
  if (m.size() == 0) return numbers;
  std::vector<std::uint8_t> member(std::size_t(m.range) + 1, 0);
  for (int p = 0; p < m.size(); ++p)
    if (m.shown(p)) member[std::size_t(m.at(p))] = 1;
  const std::vector<std::uint8_t> used = inUseMarks(doc, m.layout.referred);
  numbers.reserve(std::size_t(m.range));  // a full list offers nearly every record: no growing on the way
  for (int i = 0; i < m.range; ++i)
    if (!member[i + 1] && std::size_t(i) < used.size() && used[std::size_t(i)]) numbers.push_back(i + 1);
  return numbers;
}

int addMembers(CodePlugDocument& doc, ListId owner, int index, const std::vector<int>& numbers) {
  auto m = membersOf(doc, owner, index);
  int added = 0;
  for (int number : numbers) {
    // The whole record is searched first: a copy after a hidden word would make a duplicate.
    if (number < 1 || number > m.range || m.holds(number)) continue;
    for (int p = 0; p < m.size(); ++p)
      if (!m.shown(p)) {
        m.set(p, number);
        ++added;
        break;
      }
  }
  return added;
}

bool removeMembers(CodePlugDocument& doc, ListId owner, int index, const std::vector<int>& numbers) {
  auto m = membersOf(doc, owner, index);
  bool removed = false;
  for (int p = 0; p < m.size(); ++p)
    if (m.shown(p) && std::find(numbers.begin(), numbers.end(), m.at(p)) != numbers.end()) {
      m.set(p, 0);
      removed = true;
    }
  if (!removed) return false;
  int next = 0;  // close up: every non-zero word keeps its order, hidden ones included
  for (int p = 0; p < m.size(); ++p)
    if (const int v = m.at(p)) m.set(next++, v);
  for (int p = next; p < m.size(); ++p) m.set(p, 0);
  return true;
}

void moveMember(CodePlugDocument& doc, ListId owner, int index, int row, int delta) {
  auto m = membersOf(doc, owner, index);
  const std::vector<int> positions = shownPositions(m);
  const int count = int(positions.size());
  if (row < 0 || row >= count) return;
  const int to = std::clamp(row - delta, 0, count - 1);
  if (to == row) return;
  // Rotate the shown members only; hidden words between them stay where they are.
  std::vector<int> values;
  for (int p : positions) values.push_back(m.at(p));
  const auto from = values.begin() + row, target = values.begin() + to;
  if (to < row)
    std::rotate(target, from, from + 1);
  else
    std::rotate(from, from + 1, target + 1);
  for (int r = std::min(row, to); r <= std::max(row, to); ++r) m.set(positions[r], values[r]);
}

std::vector<int> moveSelectedMembers(CodePlugDocument& doc, ListId owner, int index,
                                     const std::vector<int>& rows, int delta) {
  const int count = int(memberRows(doc, owner, index).size());
  return moveSelection(rows, delta, count, [&](int row, int d) { moveMember(doc, owner, index, row, d); });
}

std::string channelModeText(int modeBits) {
  switch (modeBits) {
    case 0:
      return "Auto";
    case 1:
      return "Analogue";
    case 2:
      return "Digital";
    default:
      return "Unknown " + std::to_string(modeBits);
  }
}

std::string memberCell(const CodePlugDocument& doc, ListId owner, int number, MemberColumn column) {
  const ListId referred = memberLayoutOf(owner).referred;
  switch (column) {
    case MemberColumn::Number:
      return std::to_string(number);
    case MemberColumn::Name:
      return recordName(doc, referred, number - 1);
    case MemberColumn::Detail:
      if (referred == ListId::Contacts) return std::to_string(contactCallId(doc, number - 1));
      return channelModeText(u8(recordBytes(doc, referred, number - 1), 0) & 3);
  }
  return {};
}

}  // namespace pw
