#pragma once
// The benchmarks' clock: wall-clock and processor milliseconds since it was made (processor time is the
// fairer figure on a machine other jobs share).

#include <time.h>

#include <chrono>

namespace jxc::bench {

struct TStopwatch {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  double cpu = Cpu();
  static double Cpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
  }
  double Wall() const { return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count(); }
  double Processor() const { return Cpu() - cpu; }
};

}  // namespace jxc::bench
