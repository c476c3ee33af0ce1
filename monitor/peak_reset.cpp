#include "monitor/frm_bandwidth.h"

namespace orv {

// Clears both peaks on every run. The timer is never switched off here:
// stopping it after one idle period would turn the recent peaks into
// all-time maxima for the rest of the run.
void frmBandwidth::Timer1_Timer() {
  dblDownloadSpeedTop = 0;
  dblUploadSpeedTop = 0;
}

}  // namespace orv
