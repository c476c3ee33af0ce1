#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "graph/cls_line_graph.h"
#include "monitor/connection_list.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/number_locale.h"
#include "platform/services.h"
#include "stats/interface_reader.h"

namespace orv {

// What the window takes from outside; tests replace each of them.
struct MonitorServices {
  // Makes the interface-table reader at start-up.
  std::function<std::shared_ptr<InterfaceReader>()> makeReader;
  GetSettingFn getSetting;
  // Yields to pending window events in the middle of a tick.
  DoEventsFn doEvents;
  NumberLocale locale;
  // Whether the two timers run from creation (tests drive the handlers).
  bool startTimers = true;
};

// The program's one window: its state and its three handlers, over the
// controls of a form that a toolkit built from FrmBandwidthLayout().
class frmBandwidth {
 public:
  frmBandwidth(std::unique_ptr<Form> form, MonitorServices services);
  ~frmBandwidth();
  frmBandwidth(const frmBandwidth&) = delete;
  frmBandwidth& operator=(const frmBandwidth&) = delete;

  // The three handled events: load, the sampling tick, the peak reset.
  void Form_Load();
  void tmrUpdate_Timer();
  void Timer1_Timer();

  Form& form() const { return *m_form; }

 private:
  // Declared first: the controls below are the form's, found at
  // construction, and live as long as it does.
  std::unique_ptr<Form> m_form;
  MonitorServices m_services;

 public:
  // The controls the handlers use; the form owns them.
  PictureSurface* PIC1 = nullptr;
  Timer* tmrUpdate = nullptr;
  Timer* Timer1 = nullptr;
  DropDownList* cboConnectionType = nullptr;
  Label* lblType = nullptr;
  Label* lblDownloadSpeedTop = nullptr;
  Label* lblUploadSpeedTop = nullptr;
  Label* lblDownloadSpeedAverage = nullptr;
  Label* lblUploadSpeedAverage = nullptr;
  Label* lblUSpeed = nullptr;
  Label* lblDSpeed = nullptr;
  Label* lblSent = nullptr;
  Label* lblRecv = nullptr;

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
  // The working values of one tick, each 0 at its start.
  struct Sample {
    std::int32_t lngBytesReceived = 0;
    std::int32_t lngBytesSent = 0;
    std::int32_t lngDownloadSpeed = 0;
    std::int32_t lngUploadSpeed = 0;
    // Whether this tick's table read yielded any interface to take totals of.
    bool sampled = false;
  };

  // The steps of one tick, in their order; each contains its own failures.
  void ReadTableAndChosenEntry(Sample& sample);
  void ReadTotals(Sample& sample);
  void TakeDeltas(Sample& s);
  void RaisePeaks(const Sample& s);
  void ShowTotals(const Sample& s);
  void AverageAndShowRates(const Sample& s);
  void FeedHistoryAndDraw();
  void ShowCurrentRates(const Sample& s);
  void RememberTotals(const Sample& s);
  void RefreshListIfChanged();

  // Whether lngLastBytesReceived/Sent hold a sample to take deltas from:
  // false until the first read that yields interfaces, and again after a
  // read that yields none, so such a read only sets the baseline.
  bool m_haveBaseline = false;
  // What the window put in cboConnectionType, which only it fills.
  ListedEntries m_listed;
};

}  // namespace orv
