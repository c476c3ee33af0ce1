#include "graph/cls_line_graph.h"
