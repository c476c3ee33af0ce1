#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "graph/cls_line_graph.h"
#include "platform/number_locale.h"
#include "platform/qt/drop_down_list.h"
#include "platform/qt/label.h"
#include "platform/qt/picture_box.h"
#include "platform/qt/timer.h"
#include "stats/interface_reader.h"

class QFrame;
class QLabel;

namespace orv {

// What the window takes from outside; tests replace each of them.
struct MonitorServices {
  // Makes the interface-table reader at start-up.
  std::function<std::shared_ptr<InterfaceReader>()> makeReader;
  // Reads a stored setting: application, section, key, default.
  std::function<QString(const QString&, const QString&, const QString&, const QString&)> getSetting;
  // Yields to pending window events in the middle of a tick.
  std::function<void()> doEvents;
  NumberLocale locale;
  // Whether the two timers run from creation (tests drive the handlers).
  bool startTimers = true;
};

// The program's one window.
class frmBandwidth : public QWidget {
 public:
  explicit frmBandwidth(MonitorServices services, QWidget* parent = nullptr);
  ~frmBandwidth() override;

  // The three handled events: load, the sampling tick, the peak reset.
  void Form_Load();
  void tmrUpdate_Timer();
  void Timer1_Timer();

  // Controls, in the order the window holds them; owned by their Qt parent.
  QLabel* Picture1 = nullptr;
  Label* Label7 = nullptr;
  Label* Label6 = nullptr;
  PictureBox* PIC1 = nullptr;
  Timer* tmrUpdate = nullptr;
  Timer* Timer1 = nullptr;
  QFrame* Frame2 = nullptr;
  DropDownList* cboConnectionType = nullptr;
  Label* lblType = nullptr;
  Label* Label1 = nullptr;
  Label* lblDownloadSpeedTop = nullptr;
  Label* lblUploadSpeedTop = nullptr;
  Label* lblDownloadSpeedAverage = nullptr;
  Label* lblUploadSpeedAverage = nullptr;
  QFrame* Frame3 = nullptr;
  Label* lblUSpeed = nullptr;
  Label* lblDSpeed = nullptr;
  Label* lblSent = nullptr;
  Label* lblRecv = nullptr;
  Label* Label4 = nullptr;
  Label* Label3 = nullptr;
  Label* Label2 = nullptr;
  Label* Label5 = nullptr;

  // Window-level state, read by tests.
  std::shared_ptr<InterfaceReader> objIpHelper;
  std::shared_ptr<History> colHistory;
  clsLineGraph objLineGraph;
  std::int32_t lngLastBytesReceived = 0;
  std::int32_t lngLastBytesSent = 0;
  double dblDownloadSpeedTop = 0;
  double dblUploadSpeedTop = 0;
  double dblDownloadSpeedAverage = 0;
  double dblUploadSpeedAverage = 0;

 private:
  void BuildLayout();  // frm_bandwidth_layout.cpp

  MonitorServices m_services;

  // Whether lngLastBytesReceived/Sent hold a sample to take deltas from:
  // false until the first read that yields interfaces, and again after a
  // read that yields none, so such a read only sets the baseline.
  bool m_haveBaseline = false;
};

}  // namespace orv
