// ramivo-cli: the analysis of the window, run on files named on the command line. Each
// message box becomes one line on standard output; I/O errors go to standard error.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace ramivo {

// Exit status: 0 every run succeeded, 1 a description ended its run, 2 an I/O error or bad
// arguments (2 wins over 1).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ramivo
