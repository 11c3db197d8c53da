// RenderSvg: turns a DOT file into an SVG picture by running Graphviz's `dot`, found on the
// PATH. A missing `dot`, or one that fails, is a failure of the environment (IoError).
#pragma once

#include <string>

namespace ramivo {

void RenderSvg(const std::string& dot_path, const std::string& svg_path);

}  // namespace ramivo
