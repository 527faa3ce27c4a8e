#include "settings/SettingChoices.h"

namespace pw {

SettingChoices& appendSteps(SettingChoices& choices, int first, int last, int step, const char* unit,
                            int divisor) {
  for (int n = first; n <= last; n += step)
    choices.push_back({std::to_string(n) + unit, static_cast<std::uint32_t>(n / divisor)});
  return choices;
}

int choiceIndex(const SettingChoices& choices, std::uint32_t value) {
  for (std::size_t i = 0; i < choices.size(); ++i)
    if (choices[i].value == value) return static_cast<int>(i);
  return -1;
}

}  // namespace pw
