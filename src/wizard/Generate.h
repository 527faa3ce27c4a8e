#pragma once
// The wizard's generator: from a plan and its two lists, digital channels for every usable
// repeater of the area, with their contacts, rx group lists, zones and scan lists, applied
// as one undo step and reported in the exchange's one report type (Plan.h).
//
//   auto read = readPlanFile(path);                       // or the window's choices
//   Sources sources = readSources(plan);                  // the lists the plan names
//   Report preview = previewGeneration(doc, plan, sources);
//   Report done = generate(doc, plan, sources);           // one undo step
//   for (auto& line : generationLines(done)) ...          // what the command line prints
//
// The report's `added` are the channels made; `addedTo` counts the zones, scan lists, rx
// group lists and contacts; `skipped` names every entry left out by its callsign; the notes
// name every reference "empty" set to none. A repeater whose channels, contacts, rx group
// lists, zones or scan lists would not all fit is left out whole and counted in `noRoom`.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "exchange/Plan.h"
#include "exchange/Repeaters.h"
#include "wizard/WizardPlan.h"

namespace pw::wizard {

struct Sources {
  exchange::RepeaterPlan repeaters;
  std::unordered_map<std::uint32_t, std::string> talkgroupNames;  // ID -> name as the list gives it
  std::vector<exchange::Note> notes;  // what reading the lists noted, each naming its file
  std::string failure;                // "rptrs.json: Could not open the file"; empty when both were read
};
Sources readSources(const WizardPlan& plan);

// A repeater the plan takes, with what the code plug makes of it.
struct Chosen {
  const exchange::RepeaterRow* row;
  int set;  // index into the plan's sets
  double distanceKm;
  std::uint32_t rxWord, txWord;  // the frequencies as the channel stores them
};
struct Selection {
  std::vector<Chosen> chosen;  // in the plan's order
  std::vector<exchange::Skip> skipped;
  std::vector<exchange::Note> notes;
};
// Every entry through the area, the radio's band, the repeated ones and the talkgroup sets,
// then sorted as the plan says.
Selection selectRepeaters(const CodePlugDocument& doc, const WizardPlan& plan,
                          const exchange::RepeaterPlan& list);

// Writes the plan into the document as one undo step (named for the document's next
// settle). When no channel could be made the document is left exactly as it was.
exchange::Report generate(CodePlugDocument& doc, const WizardPlan& plan, const Sources& sources);
// What generate would report, worked out on a copy.
exchange::Report previewGeneration(const CodePlugDocument& doc, const WizardPlan& plan,
                                   const Sources& sources);

// "channels N", "zones N", "scan_lists N", "rx_group_lists N", "contacts N", a skipLine per
// entry skipped, then "note ..." per remark.
std::vector<std::string> generationLines(const exchange::Report& report);

// What the command line and the window's plan file share: a plan file read with its lists.
struct PlanRun {
  std::string error;  // the plan or a list could not be read: the message to show
  WizardPlan plan;
  Sources sources;
};
PlanRun readPlanRun(const std::string& planPath);

}  // namespace pw::wizard
