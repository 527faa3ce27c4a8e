#pragma once
// Public repeater and talkgroup lists made up for tests, timings and fuzz seeds, shaped as the
// registry publishes them: a JSON object {"rptrs": [...]} whose entries vary as real copies
// do (numbers as text, nulls, inactive entries, other bands), around a few places in
// several countries. Nothing here comes from a real list.

#include <string>

namespace pwtest {

// `count` entries, the same for the same seed; about 420 bytes each.
std::string repeaterListJson(int count, unsigned seed = 1);
// The talkgroups those entries' networks use, as the network's JSON object of ID to name.
std::string talkgroupListJson();

}  // namespace pwtest
