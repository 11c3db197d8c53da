#include <iostream>
#include <string>
#include <vector>

#include "cli/batch_tool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return ramivo::RunBatch(args, std::cout, std::cerr);
}
