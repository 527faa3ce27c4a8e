#pragma once
// The ui_bench timing harness: one executable whose main() lives in
// listeditor_bench.cpp. Other timing files register a function here, and main runs
// each of them after its own timings (the QApplication exists by then).

#include <functional>

namespace uibench {

// Times `run` over a number of runs (`reset` runs before each one, untimed) and prints
// the median and the worst in milliseconds.
void report(const char* what, const std::function<void()>& run, const std::function<void()>& reset);

// A file-scope `const uibench::Registration r("name", fn);` adds fn to the runs.
struct Registration {
  Registration(const char* name, void (*run)());
};
void runRegistered();

}  // namespace uibench
