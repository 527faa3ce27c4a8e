#include "textform/TextDiff.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <unordered_map>

#include "codeplug/Layout.h"
#include "textform/TextPlug.h"
#include "textform/TextYaml.h"

namespace pw::text {
namespace {

constexpr std::size_t kShownBytes = 16;  // of a rest difference, per side
constexpr std::size_t kJoinGap = 8;

using Span = std::pair<std::size_t, std::size_t>;  // file offsets [first, second)

std::string valueText(const TextValue& v) { return yamlValue(v); }

const TextField* fieldOf(const TextRecord& r, const std::string& key) {
  for (const TextField& f : r.fields)
    if (f.key == key) return &f;
  return nullptr;
}

std::string title(const TextRecord& r) {
  const std::string n = std::to_string(r.number);
  return r.fields.empty() || !r.fields.front().value.quoted ? n : n + " " + valueText(r.fields.front().value);
}

void fieldChanges(const std::string& prefix, const TextRecord& a, const TextRecord& b,
                  std::vector<std::string>& out) {
  // Values are written out only where they differ: equal values give equal words.
  const auto same = [](const TextValue& x, const TextValue& y) {
    return x.isList == y.isList && x.quoted == y.quoted && x.text == y.text && x.items == y.items;
  };
  for (const TextField& fa : a.fields) {
    const TextField* fb = fieldOf(b, fa.key);
    if (fb && same(fa.value, fb->value)) continue;
    out.push_back(prefix + fa.key + ": " + valueText(fa.value) + " -> " +
                  (fb ? valueText(fb->value) : "(none)"));
  }
}

class Differ {
 public:
  Differ(ByteSpan a, ByteSpan b) : fileA_(a), fileB_(b), a_(describe(a)), b_(describe(b)) {}

  std::vector<std::string> run() {
    for (std::size_t k = 0; k < a_.sections.size() && k < b_.sections.size(); ++k) {
      std::vector<std::string> lines;
      const TextSection &sa = a_.sections[k], &sb = b_.sections[k];
      if (sa.desc->list)
        listChanges(sa, sb, lines);
      else if (sa.desc->count)
        for (std::size_t r = 0; r < sa.records.size() && r < sb.records.size(); ++r)
          fieldChanges("  " + std::to_string(sa.records[r].number) + " ", sa.records[r], sb.records[r],
                       lines);
      else
        fieldChanges("  ", sa.records.front(), sb.records.front(), lines);
      section(sa.desc->key, lines);
    }
    const std::string crcA = suffixCrcText(*a_.suffixCrc), crcB = suffixCrcText(*b_.suffixCrc);
    if (crcA != crcB) out_.push_back(std::string(kSuffixCrcKey) + ": " + crcA + " -> " + crcB);
    section("rest", restChanges());
    return out_;
  }

 private:
  void section(const std::string& key, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    out_.push_back(key + ":");
    out_.insert(out_.end(), lines.begin(), lines.end());
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

  void listChanges(const TextSection& sa, const TextSection& sb, std::vector<std::string>& lines) {
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
        lines.push_back("  moved " + std::to_string(n) + " -> " + title(*rb[movedTo[n]]));
        cover(list, n);
        cover(list, movedTo[n]);
      } else if (inA && (!inB || target)) {
        lines.push_back("  removed " + title(*ra[n]));
        cover(list, n);
      } else if (inA) {
        fieldChanges("  changed " + title(*ra[n]) + ": ", *ra[n], *rb[n], lines);
      }
      if (inB && !target && !(inA && !movedTo.count(n))) {
        lines.push_back("  added " + title(*rb[n]));
        cover(list, n);
      }
    }
  }

  bool isCovered(std::size_t at) const {
    for (const Span& s : covered_)
      if (at >= s.first && at < s.second) return true;
    return false;
  }

  static std::string hexOf(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to) {
    std::string s;
    char buf[4];
    for (std::size_t i = from; i < to && i < from + kShownBytes; ++i) {
      std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
      s += buf;
    }
    return to - from > kShownBytes ? s + "..." : s;
  }

  std::vector<std::string> restChanges() const {
    const std::vector<std::uint8_t> ra = restBytes(a_), rb = restBytes(b_);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < ra.size();) {
      if (ra[i] == rb[i] || isCovered(i)) {
        ++i;
        continue;
      }
      std::size_t end = i + 1;
      for (std::size_t j = end; j < ra.size() && j < end + kJoinGap; ++j)
        if (ra[j] != rb[j] && !isCovered(j)) end = j + 1;
      char at[24];
      std::snprintf(at, sizeof at, "0x%05zX", i);
      lines.push_back("  " + std::string(at) + " (" + regionLabel(i) + "): " + hexOf(ra, i, end) + " -> " +
                      hexOf(rb, i, end));
      i = end;
    }
    return lines;
  }

  ByteSpan fileA_, fileB_;
  TextPlug a_, b_;
  std::vector<Span> covered_;
  std::vector<std::string> out_;
};

}  // namespace

std::vector<std::string> diffFiles(ByteSpan a, ByteSpan b) { return Differ(a, b).run(); }

}  // namespace pw::text
