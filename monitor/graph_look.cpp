#include "monitor/graph_look.h"

namespace orv {

// 0x00BBGGRR.
inline constexpr Color kGraphBackground = 0;      // black
inline constexpr Color kGraphForeground = 65280;  // green
inline constexpr Color kGraphBorder = 255;        // red
inline constexpr Color kGraphGrid = 0x808000;     // teal

void ApplyWindowGraphLook(clsLineGraph& graph) {
  graph.PicBackground(kGraphBackground);
  graph.PicForeground(kGraphForeground);
  graph.BorderColor(kGraphBorder);
  graph.BorderSize(0);
  graph.GridColor(kGraphGrid);
  graph.GridVisible(true);
}

}  // namespace orv
