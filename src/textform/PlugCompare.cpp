#include "textform/PlugCompare.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

#include "codeplug/Layout.h"

namespace pw::text {
namespace {

constexpr std::size_t kJoinGap = 8;  // differing rest bytes closer than this are one run

using Span = std::pair<std::size_t, std::size_t>;  // file offsets [first, second)

const TextField* fieldOf(const TextRecord& r, std::string_view key) {
  for (const TextField& f : r.fields)
    if (f.key == key) return &f;
  return nullptr;
}

// The fields of A whose values B does not share.
std::vector<FieldDifference> fieldDifferences(const TextRecord& a, const TextRecord& b) {
  std::vector<FieldDifference> out;
  for (const TextField& fa : a.fields) {
    const TextField* fb = fieldOf(b, fa.key);
    if (!fb || !sameValue(fa.value, fb->value)) out.push_back({&fa, fb});
  }
  return out;
}

class Comparer {
 public:
  Comparer(ByteSpan fileA, ByteSpan fileB, const TextPlug& a, const TextPlug& b)
      : fileA_(fileA), fileB_(fileB), a_(a), b_(b) {}

  std::vector<SectionDifference> sections() {
    std::vector<SectionDifference> out;
    for (std::size_t k = 0; k < a_.sections.size() && k < b_.sections.size(); ++k) {
      const TextSection &sa = a_.sections[k], &sb = b_.sections[k];
      SectionDifference section{.desc = sa.desc, .records = {}};
      if (sa.desc->list)
        listChanges(sa, sb, section.records);
      else
        for (std::size_t r = 0; r < sa.records.size() && r < sb.records.size(); ++r)
          changed(sa.records[r], sb.records[r], section.records);
      if (!section.records.empty()) out.push_back(std::move(section));
    }
    return out;
  }

  // The rest's differing bytes outside the records already reported whole.
  std::vector<RestDifference> rest() const {
    const std::vector<std::uint8_t> ra = restBytes(a_), rb = restBytes(b_);
    std::vector<RestDifference> out;
    for (std::size_t i = 0; i < ra.size();) {
      if (ra[i] == rb[i] || isCovered(i)) {
        ++i;
        continue;
      }
      std::size_t end = i + 1;
      for (std::size_t j = end; j < ra.size() && j < end + kJoinGap; ++j)
        if (ra[j] != rb[j] && !isCovered(j)) end = j + 1;
      const auto from = std::ptrdiff_t(i), to = std::ptrdiff_t(end);
      out.push_back({i, end, {ra.begin() + from, ra.begin() + to}, {rb.begin() + from, rb.begin() + to}});
      i = end;
    }
    return out;
  }

 private:
  static void changed(const TextRecord& a, const TextRecord& b, std::vector<RecordDifference>& out) {
    std::vector<FieldDifference> fields = fieldDifferences(a, b);
    if (!fields.empty()) out.push_back({RecordDifference::Kind::Changed, &a, &b, std::move(fields)});
  }

  ByteSpan raw(ByteSpan file, ListId list, int number) const {
    const RecordListLayout& l = layoutOf(list);
    return file.subspan(fileOffset(l.start) + std::size_t(number - 1) * l.recordSize, l.recordSize);
  }
  void cover(ListId list, int number) {
    const RecordListLayout& l = layoutOf(list);
    const std::size_t at = fileOffset(l.start) + std::size_t(number - 1) * l.recordSize;
    covered_.push_back({at, at + l.recordSize});
  }
  bool isCovered(std::size_t at) const {
    for (const Span& s : covered_)
      if (at >= s.first && at < s.second) return true;
    return false;
  }

  void listChanges(const TextSection& sa, const TextSection& sb, std::vector<RecordDifference>& out) {
    using Kind = RecordDifference::Kind;
    const ListId list = *sa.desc->list;
    std::map<int, const TextRecord*> ra, rb;
    for (const TextRecord& r : sa.records) ra[r.number] = &r;
    for (const TextRecord& r : sb.records) rb[r.number] = &r;
    const auto same = [&](int n) {
      return ra.count(n) && rb.count(n) && std::ranges::equal(raw(fileA_, list, n), raw(fileB_, list, n));
    };
    // Records of B by their bytes, to find where a record of A went.
    std::unordered_map<std::string, std::vector<int>> byBytes;
    for (const auto& [n, r] : rb) {
      const ByteSpan bytes = raw(fileB_, list, n);
      if (!same(n)) byBytes[std::string(bytes.begin(), bytes.end())].push_back(n);
    }
    std::map<int, int> movedTo;  // A number -> B number
    std::set<int> targets;
    for (const auto& [n, r] : ra) {
      if (same(n)) continue;
      const ByteSpan bytes = raw(fileA_, list, n);
      auto it = byBytes.find(std::string(bytes.begin(), bytes.end()));
      if (it == byBytes.end()) continue;
      for (int m : it->second)
        if (m != n && !targets.count(m)) {
          movedTo[n] = m;
          targets.insert(m);
          break;
        }
    }
    std::set<int> numbers;
    for (const auto& [n, r] : ra) numbers.insert(n);
    for (const auto& [n, r] : rb) numbers.insert(n);
    for (int n : numbers) {
      if (same(n)) continue;
      const bool inA = ra.count(n), inB = rb.count(n), target = targets.count(n);
      if (inA && movedTo.count(n)) {
        out.push_back({Kind::Moved, ra[n], rb[movedTo[n]], {}});
        cover(list, n);
        cover(list, movedTo[n]);
      } else if (inA && (!inB || target)) {
        out.push_back({Kind::Removed, ra[n], nullptr, {}});
        cover(list, n);
      } else if (inA) {
        changed(*ra[n], *rb[n], out);
      }
      if (inB && !target && !(inA && !movedTo.count(n))) {
        out.push_back({Kind::Added, nullptr, rb[n], {}});
        cover(list, n);
      }
    }
  }

  ByteSpan fileA_, fileB_;
  const TextPlug &a_, &b_;
  std::vector<Span> covered_;
};

}  // namespace

bool sameValue(const TextValue& x, const TextValue& y) {
  return x.isList == y.isList && x.quoted == y.quoted && x.text == y.text && x.items == y.items;
}

PlugComparison::PlugComparison(ByteSpan a, ByteSpan b) : a_(describe(a)), b_(describe(b)) {
  Comparer comparer(a, b, a_, b_);
  sections_ = comparer.sections();
  if (a_.suffixCrc && b_.suffixCrc && suffixCrcText(*a_.suffixCrc) != suffixCrcText(*b_.suffixCrc))
    suffixCrc_ = SuffixCrcDifference{*a_.suffixCrc, *b_.suffixCrc};
  rest_ = comparer.rest();
}

}  // namespace pw::text
