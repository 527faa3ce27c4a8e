#include "codeplug/EditHistory.h"

#include <algorithm>
#include <cstring>

namespace pw {
namespace {

// Changed bytes closer than this are stored as one range: fewer ranges, hardly more bytes.
constexpr std::size_t kJoinGap = 8;
constexpr std::size_t kBlock = 64;
constexpr std::size_t kPage = 4096;

const std::string kNoLabel;

}  // namespace

void EditHistory::reset(const std::vector<std::uint8_t>& image) {
  baseline_ = image;
  done_.clear();
  undone_.clear();
  used_ = 0;
  joinable_ = false;
}

std::vector<EditHistory::Range> EditHistory::changedRanges(const std::vector<std::uint8_t>& image) const {
  std::vector<Range> ranges;
  const std::size_t n = image.size();
  // Most steps settled change nothing: one comparison of the whole image tells.
  if (n == baseline_.size() && (n == 0 || std::memcmp(image.data(), baseline_.data(), n) == 0)) return ranges;
  std::size_t i = 0;
  while (i < n) {
    // Skip equal pages, then equal blocks, then find the first differing byte: an edit
    // touches a few bytes of the image, and every step compares all of it.
    if (i % kPage == 0 && i + kPage <= n && std::memcmp(&image[i], &baseline_[i], kPage) == 0) {
      i += kPage;
      continue;
    }
    if (i % kBlock == 0 && i + kBlock <= n && std::memcmp(&image[i], &baseline_[i], kBlock) == 0) {
      i += kBlock;
      continue;
    }
    if (image[i] == baseline_[i]) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    for (std::size_t j = end; j < n && j < end + kJoinGap; ++j)
      if (image[j] != baseline_[j]) end = j + 1;
    if (!ranges.empty() && ranges.back().offset + ranges.back().length + kJoinGap >= i)
      ranges.back().length = std::uint32_t(end - ranges.back().offset);
    else
      ranges.push_back({std::uint32_t(i), std::uint32_t(end - i)});
    i = end;
  }
  return ranges;
}

// The last step and the new changes as one step: its bytes before are the last step's
// where it changed something, the baseline's elsewhere; its bytes after are the image's.
EditHistory::Step EditHistory::joined(const Step& last, const std::vector<Range>& ranges,
                                      const std::vector<std::uint8_t>& image) const {
  std::vector<Range> all = last.ranges;
  all.insert(all.end(), ranges.begin(), ranges.end());
  std::sort(all.begin(), all.end(), [](const Range& a, const Range& b) { return a.offset < b.offset; });
  Step step{last.label, last.mergeKey, {}, {}, {}};
  for (const Range& r : all) {
    if (!step.ranges.empty() && step.ranges.back().offset + step.ranges.back().length >= r.offset)
      step.ranges.back().length =
          std::max(step.ranges.back().offset + step.ranges.back().length, r.offset + r.length) -
          step.ranges.back().offset;
    else
      step.ranges.push_back(r);
  }
  std::vector<std::uint8_t> before(baseline_);
  apply(last, last.before, before);
  for (const Range& r : step.ranges) {
    step.before.insert(step.before.end(), before.begin() + r.offset, before.begin() + r.offset + r.length);
    step.after.insert(step.after.end(), image.begin() + r.offset, image.begin() + r.offset + r.length);
  }
  return step;
}

bool EditHistory::settle(const std::vector<std::uint8_t>& image, std::string_view label,
                         std::uint64_t mergeKey) {
  if (image.size() != baseline_.size()) {
    reset(image);  // a different image: nothing before it can be undone
    return false;
  }
  const std::vector<Range> ranges = changedRanges(image);
  if (ranges.empty()) return false;

  Step step;
  if (joinable_ && mergeKey != 0 && !done_.empty() && done_.back().mergeKey == mergeKey) {
    step = joined(done_.back(), ranges, image);
    used_ -= done_.back().cost();
    done_.pop_back();
  } else {
    step.label = std::string(label);
    step.mergeKey = mergeKey;
    step.ranges = ranges;
    for (const Range& r : ranges) {
      step.before.insert(step.before.end(), baseline_.begin() + r.offset,
                         baseline_.begin() + r.offset + r.length);
      step.after.insert(step.after.end(), image.begin() + r.offset, image.begin() + r.offset + r.length);
    }
  }
  for (const Range& r : ranges) std::memcpy(&baseline_[r.offset], &image[r.offset], r.length);
  for (const Step& s : undone_) used_ -= s.cost();
  undone_.clear();
  used_ += step.cost();
  done_.push_back(std::move(step));
  joinable_ = true;
  ++settles_;
  keepWithinBudget();
  return true;
}

void EditHistory::adoptDerived(const std::vector<std::uint8_t>& image, std::size_t offset, std::size_t length) {
  if (image.size() == baseline_.size() && offset <= image.size() && length <= image.size() - offset)
    std::memcpy(&baseline_[offset], &image[offset], length);
}

void EditHistory::apply(const Step& step, const std::vector<std::uint8_t>& bytes,
                        std::vector<std::uint8_t>& image) {
  std::size_t at = 0;
  for (const Range& r : step.ranges) {
    std::memcpy(&image[r.offset], &bytes[at], r.length);
    at += r.length;
  }
}

// Takes the last step of `from`, writes its after (forward) or before bytes into the image
// and the baseline, and keeps it on `to`.
template <typename From, typename To>
bool EditHistory::replay(From& from, To& to, bool forward, std::vector<std::uint8_t>& image) {
  if (from.empty() || image.size() != baseline_.size()) return false;
  Step step = std::move(from.back());
  from.pop_back();
  const std::vector<std::uint8_t>& bytes = forward ? step.after : step.before;
  apply(step, bytes, image);
  apply(step, bytes, baseline_);
  to.push_back(std::move(step));
  joinable_ = false;
  return true;
}

bool EditHistory::undo(std::vector<std::uint8_t>& image) { return replay(done_, undone_, false, image); }

bool EditHistory::redo(std::vector<std::uint8_t>& image) { return replay(undone_, done_, true, image); }

const std::string& EditHistory::undoLabel() const { return done_.empty() ? kNoLabel : done_.back().label; }
const std::string& EditHistory::redoLabel() const {
  return undone_.empty() ? kNoLabel : undone_.back().label;
}

void EditHistory::keepWithinBudget() {
  while (used_ > budget_ && done_.size() > 1) {
    used_ -= done_.front().cost();
    done_.pop_front();
  }
}

}  // namespace pw
