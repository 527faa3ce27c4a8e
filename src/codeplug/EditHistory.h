#pragma once
// Undo and redo for every change to the working image, whoever made it. The history
// keeps the image as it stood at the last step boundary; when the editor says a user's
// action has ended (`settle`), the bytes that differ from it become one step. Only the
// changed bytes are stored, before and after, so a step over one field costs a few
// bytes and a step over 1000 channels about 128 KiB.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

class EditHistory {
 public:
  // Steps beyond this many stored bytes drop off the old end (the newest step stays).
  static constexpr std::size_t kDefaultBudget = std::size_t(16) << 20;

  explicit EditHistory(std::size_t budget = kDefaultBudget) : budget_(budget) {}

  // Forgets every step and takes `image` as it is now (a newly loaded code plug).
  void reset(const std::vector<std::uint8_t>& image);

  // Ends the current step: when `image` differs from the image at the last boundary,
  // the difference becomes one step named `label`. A step with the same non-zero
  // mergeKey as the step before, with nothing undone in between, joins that step (the
  // keystrokes of one box). True when a step was recorded or grew.
  bool settle(const std::vector<std::uint8_t>& image, std::string_view label, std::uint64_t mergeKey = 0);
  // Takes bytes the program derives from the others (not a user's edit) into the
  // baseline as `image` holds them, so that no step ever holds them.
  void adoptDerived(const std::vector<std::uint8_t>& image, std::size_t offset, std::size_t length);

  bool canUndo() const { return !done_.empty(); }
  bool canRedo() const { return !undone_.empty(); }
  const std::string& undoLabel() const;  // empty when there is nothing to undo
  const std::string& redoLabel() const;

  // Restores the image as it was before the last step (settle first: changes since the
  // last boundary are not part of any step). False, changing nothing, when there is
  // nothing to undo or the image is not the one the history was reset with.
  bool undo(std::vector<std::uint8_t>& image);
  // Applies the last undone step again.
  bool redo(std::vector<std::uint8_t>& image);

  std::size_t stepCount() const { return done_.size(); }
  // How many settles recorded or grew a step so far: whoever watches the steps can tell
  // that one was recorded by someone else.
  std::uint64_t settleCount() const { return settles_; }
  // Bytes held by the steps (the baseline image aside).
  std::size_t memoryUsed() const { return used_; }

 private:
  struct Range {
    std::uint32_t offset;
    std::uint32_t length;
  };
  struct Step {
    std::string label;
    std::uint64_t mergeKey = 0;
    std::vector<Range> ranges;                // ascending, disjoint
    std::vector<std::uint8_t> before, after;  // the ranges' bytes, concatenated
    std::size_t cost() const { return before.size() + after.size() + ranges.size() * sizeof(Range) + 64; }
  };

  std::vector<Range> changedRanges(const std::vector<std::uint8_t>& image) const;
  Step joined(const Step& last, const std::vector<Range>& ranges,
              const std::vector<std::uint8_t>& image) const;
  static void apply(const Step& step, const std::vector<std::uint8_t>& bytes,
                    std::vector<std::uint8_t>& image);
  void keepWithinBudget();
  template <typename From, typename To>
  bool replay(From& from, To& to, bool forward, std::vector<std::uint8_t>& image);

  std::size_t budget_;
  std::size_t used_ = 0;
  std::vector<std::uint8_t> baseline_;
  std::deque<Step> done_;
  std::vector<Step> undone_;
  bool joinable_ = false;  // the last step may still grow
  std::uint64_t settles_ = 0;
};

}  // namespace pw
