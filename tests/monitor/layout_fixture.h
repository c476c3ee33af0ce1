#pragma once

#include <QApplication>
#include <QFontInfo>
#include <QStringList>
#include <memory>

#include "monitor/frm_bandwidth.h"

namespace orv::testing {

// The window as the toolkit creates it, before its load handler runs and
// with the timers held still.
inline std::unique_ptr<frmBandwidth> MakeWindow(bool startTimers = false) {
  MonitorServices services;
  services.startTimers = startTimers;
  return std::make_unique<frmBandwidth>(std::move(services));
}

inline const QStringList& CjkFamilies() {
  static const QStringList families = {"宋体", "SimSun", "NSimSun", "WenQuanYi Micro Hei",
                                       "Noto Sans CJK SC", "Noto Sans SC", "Droid Sans Fallback"};
  return families;
}

inline const QStringList& LatinFamilies() {
  static const QStringList families = {"Arial", "Liberation Sans", "DejaVu Sans"};
  return families;
}

}  // namespace orv::testing
