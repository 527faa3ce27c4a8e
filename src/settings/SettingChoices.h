#pragma once
// Fixed drop-down lists of the settings tabs: each entry's text with the value it
// stores. A stored value that no entry carries selects nothing.

#include <cstdint>
#include <string>
#include <vector>

namespace pw {

struct SettingChoice {
  std::string text;
  std::uint32_t value;
};
using SettingChoices = std::vector<SettingChoice>;

// Appends the numbers first, first + step, ... last, each shown as the number followed
// by `unit` and storing number / divisor.
SettingChoices& appendSteps(SettingChoices& choices, int first, int last, int step, const char* unit,
                            int divisor = 1);
// The entry carrying `value`, or -1.
int choiceIndex(const SettingChoices& choices, std::uint32_t value);

}  // namespace pw
