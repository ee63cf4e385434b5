// Timing shared by the benchmarks: each figure is the median of its runs,
// so a run another process on the machine slowed down does not move it.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace vantrel::bench {

using Clock = std::chrono::steady_clock;

inline double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> ms) {
  if (ms.empty()) return 0;
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// Times fn(1) .. fn(runs); `after` runs untimed after each.
inline double MedianMs(int runs, const std::function<void(int)>& fn,
                       const std::function<void()>& after = {}) {
  std::vector<double> ms;
  for (int i = 1; i <= runs; ++i) {
    const Clock::time_point start = Clock::now();
    fn(i);
    ms.push_back(MillisecondsSince(start));
    if (after) after();
  }
  return Median(std::move(ms));
}

inline double MedianMs(int runs, const std::function<void()>& fn) {
  return MedianMs(runs, [&](int) { fn(); });
}

}  // namespace vantrel::bench
