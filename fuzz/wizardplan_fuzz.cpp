// Feeds arbitrary texts to the wizard's plan reader: nothing may crash, every error names a
// line of the text, and a plan that reads is written and read back as the same plan, in the
// same bytes.

#include <algorithm>
#include <cstdint>
#include <string>
#include <variant>

#include "wizard/WizardPlan.h"

using namespace pw::wizard;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto read = readPlanText(text, "/plans/plan.json");
  if (const auto* error = std::get_if<PlanError>(&read)) {
    const int lines = 1 + int(std::count(text.begin(), text.end(), '\n'));
    if (error->line < 1 || error->line > lines) __builtin_trap();
    return 0;
  }
  const WizardPlan& plan = std::get<WizardPlan>(read);
  const std::string written = writePlanText(plan, "/plans");
  const auto again = readPlanText(written, "/plans/plan.json");
  if (!std::holds_alternative<WizardPlan>(again)) __builtin_trap();
  if (writePlanText(std::get<WizardPlan>(again), "/plans") != written) __builtin_trap();
  return 0;
}
