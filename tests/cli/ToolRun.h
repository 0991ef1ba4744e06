#pragma once
// kestrel-tool run in process: its exit code and what it wrote to standard error and output.

#include "cli/ToolCommands.h"

#include <sstream>
#include <string>
#include <vector>

namespace kestrel::test {

struct ToolRun {
  int Code;
  std::string Err;
  std::string Out;
};

inline ToolRun Tool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int code = RunTool(args, out, err);
  return {code, err.str(), out.str()};
}

} // namespace kestrel::test
