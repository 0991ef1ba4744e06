#pragma once
// Benchmarks that compare our code with a reference measured in the same run: the console report
// as usual, then one line per pair with the ratio of their times and the target it has. Both the
// real-time and the CPU-time ratio are printed: on a machine shared with other work the real time
// also counts waiting for a processor, which the CPU time leaves out.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace kestrel::bench {

// A reference timed in another process (a peer tool run as a child, which reports its own times)
// gives its real time as the benchmark's manual time and its processor time per iteration, in
// seconds, in this counter (with benchmark::Counter::kAvgIterations).
inline constexpr const char* kChildCpuCounter = "child_cpu_s";

struct TRatio {
  std::string Subject;   // benchmark name of our code
  std::string Reference; // benchmark name of the reference
  double Target;         // the ratio to stay under
};

class TRatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    benchmark::ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration) continue;
      // A run that could not be made (a peer tool not installed) has no time to compare with.
      if (run.error_occurred) continue;
      Times& times = times_[run.run_name.function_name];
      times = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
      const auto child = run.counters.find(kChildCpuCounter);
      if (child != run.counters.end())
        times.Cpu = child->second.value * benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
  }

  // Real time per iteration of the named benchmark; 0 when it did not run.
  double RealTime(const std::string& name) const {
    const auto found = times_.find(name);
    return found == times_.end() ? 0.0 : found->second.Real;
  }

  void PrintRatios(const std::vector<TRatio>& ratios) const {
    for (const TRatio& r : ratios) {
      const auto subject = times_.find(r.Subject), reference = times_.find(r.Reference);
      if (subject == times_.end() || reference == times_.end()) continue;
      const double real = subject->second.Real / reference->second.Real;
      const double cpu = subject->second.Cpu / reference->second.Cpu;
      std::printf("ratio %s / %s: real %.2f, cpu %.2f (target <= %.2f)%s\n", r.Subject.c_str(),
                  r.Reference.c_str(), real, cpu, r.Target,
                  std::min(real, cpu) <= r.Target ? "" : "  MISSED");
    }
  }

private:
  struct Times {
    double Real;
    double Cpu;
  };
  std::map<std::string, Times> times_;
};

// Runs the registered benchmarks and prints the ratios.
inline int RunWithRatios(int argc, char** argv, const std::vector<TRatio>& ratios) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(ratios);
  benchmark::Shutdown();
  return 0;
}

} // namespace kestrel::bench
