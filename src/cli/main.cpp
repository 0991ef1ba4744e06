// kestrel-tool: inspect and convert pictures from the command line.

#include "cli/ToolCommands.h"

#include <iostream>

int main(int argc, char** argv) {
  return kestrel::RunTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
