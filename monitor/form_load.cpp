#include <memory>

#include "monitor/connection_list.h"
#include "monitor/frm_bandwidth.h"
#include "monitor/graph_look.h"
#include "platform/error.h"

namespace orv {

void frmBandwidth::Form_Load() {
  colHistory = std::make_shared<History>();
  // The test follows the addition: a new collection still gets its value.
  do {
    colHistory->Add(0);
  } while (colHistory->Count() < kGraphValues);

  objLineGraph.PictureBox(PIC1);
  objLineGraph.DataCollection(colHistory);
  ApplyWindowGraphLook(objLineGraph);

  if (m_services.makeReader) objIpHelper = m_services.makeReader();

  // Start-up never ends the program: an unreadable table leaves an empty
  // list, and the first tick tries the table again.
  if (objIpHelper) Attempt([&] { FillConnectionList(*cboConnectionType, *objIpHelper, m_listed); });
  Attempt([&] { RestoreConnectionChoice(*cboConnectionType, m_services.getSetting); });
}

}  // namespace orv
