#pragma once
// A folder for files written on every run of a fuzz target: in memory when the system
// has such a file system (flushing costs nothing there), else testTempDir(). Removed
// when the process ends.

#include <string>

namespace pwtest {

std::string scratchDir();

}  // namespace pwtest
