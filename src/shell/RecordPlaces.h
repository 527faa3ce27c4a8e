#pragma once
// Where the window shows the records of each section of the code plug: the page, the
// grid on it and the number of the grid's first row. The compare window names sections
// by the text form's keys, the findings by their kind; both lead here.

#include <optional>
#include <string_view>

#include "validation/Validation.h"

struct RecordPlace {
  const char* page;            // objectName of the page in the window's tabs
  const char* view = nullptr;  // objectName of the grid that lists the records; null: none
  int firstNumber = 1;         // the record number shown in the grid's first row
};

// The place of a section of the text form ("channels", "dtmf_decode", ...); none for the rest.
std::optional<RecordPlace> placeOfSection(std::string_view key);
// The place of a finding's section.
RecordPlace placeOf(pw::FindingSection section);
