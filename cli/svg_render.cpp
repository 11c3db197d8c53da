#include "cli/svg_render.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

#include "core/text_file.h"

extern char** environ;

namespace ramivo {

void RenderSvg(const std::string& dot_path, const std::string& svg_path) {
  // No shell between us and dot: file names pass unchanged, whatever characters they hold.
  std::string program = "dot";
  std::string format = "-Tsvg";
  std::string output = "-o" + svg_path;
  // A relative name that begins with a hyphen would be read as an option.
  std::string input = dot_path.starts_with('-') ? "./" + dot_path : dot_path;
  char* argv[] = {program.data(), format.data(), output.data(), input.data(), nullptr};
  pid_t child;
  int error = ::posix_spawnp(&child, "dot", nullptr, nullptr, argv, environ);
  if (error != 0) {
    throw IoError("Cannot render file \"" + svg_path +
                  "\". Graphviz's dot cannot be run: " + std::strerror(error));
  }
  int status;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      throw IoError("Cannot render file \"" + svg_path + "\". " + std::strerror(errno));
    }
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw IoError("Cannot render file \"" + svg_path + "\". Graphviz's dot failed on \"" +
                  dot_path + "\".");
  }
}

}  // namespace ramivo
