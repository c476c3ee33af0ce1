#pragma once

#include "graph/cls_line_graph.h"

namespace orv {

// The window's graph settings: black ground, green line, teal grid, and a
// red border of no width, so none shows.
void ApplyWindowGraphLook(clsLineGraph& graph);

}  // namespace orv
