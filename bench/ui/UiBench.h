#pragma once
// The ui_bench timing harness: one executable whose main() lives in
// listeditor_bench.cpp. Other timing files register a function here, and main runs
// each of them after its own timings (the QApplication exists by then).

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace uibench {

// Times `run` over a number of runs (`reset` runs before each one, untimed) and prints
// the median and the worst in milliseconds.
void report(const char* what, const std::function<void()>& run, const std::function<void()>& reset);

// A file-scope `const uibench::Registration r("name", fn);` adds fn to the runs.
struct Registration {
  Registration(const char* name, void (*run)());
};
void runRegistered();

// Writes the code plug as plug.rdt into `folder`, with a settings file beside it that opens
// it on tab `tab`; returns the settings file's path (empty when it cannot be written).
QString writeWindowFiles(const QString& folder, const std::vector<std::uint8_t>& plug, int tab);

}  // namespace uibench
