#include "monitor/frm_bandwidth.h"

#include <utility>

namespace orv {

frmBandwidth::frmBandwidth(std::unique_ptr<Form> form, MonitorServices services)
    : m_form(std::move(form)), m_services(std::move(services)) {
  Form& f = *m_form;
  PIC1 = &f.FindPicture("PIC1");
  tmrUpdate = &f.FindTimer("tmrUpdate");
  Timer1 = &f.FindTimer("Timer1");
  cboConnectionType = &f.FindList("cboConnectionType");
  lblType = &f.FindLabel("lblType");
  lblDownloadSpeedTop = &f.FindLabel("lblDownloadSpeedTop");
  lblUploadSpeedTop = &f.FindLabel("lblUploadSpeedTop");
  lblDownloadSpeedAverage = &f.FindLabel("lblDownloadSpeedAverage");
  lblUploadSpeedAverage = &f.FindLabel("lblUploadSpeedAverage");
  lblUSpeed = &f.FindLabel("lblUSpeed");
  lblDSpeed = &f.FindLabel("lblDSpeed");
  lblSent = &f.FindLabel("lblSent");
  lblRecv = &f.FindLabel("lblRecv");

  tmrUpdate->OnTimer([this] { tmrUpdate_Timer(); });
  Timer1->OnTimer([this] { Timer1_Timer(); });
  if (m_services.startTimers) {
    tmrUpdate->Enabled(true);
    Timer1->Enabled(true);
  }
}

frmBandwidth::~frmBandwidth() {
  // The handlers use the window's state; no tick may start while the form
  // is being torn down. A window the toolkit already destroyed has no
  // timers left to stop.
  if (!m_form->Token().Alive()) return;
  tmrUpdate->Enabled(false);
  Timer1->Enabled(false);
  tmrUpdate->OnTimer(nullptr);
  Timer1->OnTimer(nullptr);
}

}  // namespace orv
