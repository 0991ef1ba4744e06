#pragma once
// Peer tools and our own command-line tool timed as child processes: the real time is the
// benchmark's manual time, the processor time of the children (and theirs) goes into the child
// counter of RatioReporter.h.

#include "RatioReporter.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace kestrel::bench {

// Runs the commands side by side, each with its output into /dev/null, once per iteration; an
// iteration ends when the last one has. A command that fails ends the benchmark with an error.
inline void RunChildren(benchmark::State& state,
                        const std::vector<std::vector<std::string>>& commands) {
  std::vector<std::vector<char*>> argvs;
  for (const auto& args : commands) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
      argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    argvs.push_back(std::move(argv));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  double cpu = 0;
  for (auto _ : state) {
    rusage before, after;
    ::getrusage(RUSAGE_CHILDREN, &before);
    const auto start = std::chrono::steady_clock::now();
    std::vector<pid_t> children;
    bool failed = false;
    for (auto& argv : argvs) {
      pid_t child;
      if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        failed = true;
      else
        children.push_back(child);
    }
    for (const pid_t child : children) {
      int status = 0;
      if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        failed = true;
    }
    if (failed) {
      state.SkipWithError(("failed: " + commands.front().front()).c_str());
      break;
    }
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    ::getrusage(RUSAGE_CHILDREN, &after);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    cpu += seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) -
           seconds(before.ru_stime);
  }
  posix_spawn_file_actions_destroy(&actions);
  state.counters[kChildCpuCounter] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

inline void RunChild(benchmark::State& state, const std::vector<std::string>& args) {
  RunChildren(state, {args});
}

} // namespace kestrel::bench
