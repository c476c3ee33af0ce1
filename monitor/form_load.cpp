#include <memory>

#include "monitor/connection_list.h"
#include "monitor/frm_bandwidth.h"
#include "platform/error.h"

namespace orv {

// Colours of the graph, 0x00BBGGRR.
inline constexpr Color kGraphBackground = 0;      // black
inline constexpr Color kGraphForeground = 65280;  // green
inline constexpr Color kGraphBorder = 255;        // red
inline constexpr Color kGraphGrid = 0x808000;     // teal

void frmBandwidth::Form_Load() {
  colHistory = std::make_shared<History>();
  // The test follows the addition: a new collection still gets its value.
  do {
    colHistory->Add(0);
  } while (colHistory->Count() < kGraphValues);

  objLineGraph.PictureBox(PIC1);
  objLineGraph.DataCollection(colHistory);
  objLineGraph.PicBackground(kGraphBackground);
  objLineGraph.PicForeground(kGraphForeground);
  objLineGraph.BorderColor(kGraphBorder);
  objLineGraph.BorderSize(0);
  objLineGraph.GridColor(kGraphGrid);
  objLineGraph.GridVisible(true);

  if (m_services.makeReader) objIpHelper = m_services.makeReader();

  // Start-up never ends the program: an unreadable table leaves an empty
  // list, and the first tick tries the table again.
  if (objIpHelper) Attempt([&] { FillConnectionList(*cboConnectionType, *objIpHelper); });
  Attempt([&] { RestoreConnectionChoice(*cboConnectionType, m_services.getSetting); });
}

}  // namespace orv
