#pragma once

#include <QApplication>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QStringList>
#include <memory>
#include <stdexcept>

#include "app/qt/app.h"
#include "monitor/frm_bandwidth.h"
#include "monitor/frm_bandwidth_layout.h"
#include "toolkit/qt/drop_down_list.h"
#include "toolkit/qt/form_builder.h"
#include "toolkit/qt/label.h"
#include "toolkit/qt/picture_box.h"
#include "toolkit/qt/timer.h"

namespace orv::test {

// The window as the Qt toolkit builds it, before its load handler runs,
// with its Qt widgets at hand by name.
struct QtWindow {
  std::unique_ptr<frmBandwidth> logic;
  QWidget* widget = nullptr;

  template <class T>
  T* Get(const char* name) const {
    for (QObject* o : widget->findChildren<QObject*>(QString::fromLatin1(name))) {
      if (auto* t = dynamic_cast<T*>(o)) return t;
    }
    throw std::logic_error(std::string("no control ") + name);
  }
  qt::QtLabel* L(const char* name) const { return Get<qt::QtLabel>(name); }
  qt::QtDropDownList* List() const { return Get<qt::QtDropDownList>("cboConnectionType"); }
  qt::QtPictureBox* Graph() const { return Get<qt::QtPictureBox>("PIC1"); }
  QLabel* Banner() const { return Get<QLabel>("Picture1"); }
  QFrame* Frame(const char* name) const { return Get<QFrame>(name); }
  qt::QtTimer* T(const char* name) const { return Get<qt::QtTimer>(name); }
};

inline std::unique_ptr<QtWindow> MakeWindow(bool startTimers = false) {
  MonitorServices services;
  services.startTimers = startTimers;
  auto window = std::make_unique<QtWindow>();
  window->logic = BuildMonitor(std::move(services));
  window->widget = WindowWidget(*window->logic);
  return window;
}

inline const QStringList& CjkFamilies() {
  static const QStringList families = {"宋体",
                                       "SimSun",
                                       "NSimSun",
                                       "WenQuanYi Micro Hei",
                                       "Noto Sans CJK SC",
                                       "Noto Sans SC",
                                       "Droid Sans Fallback"};
  return families;
}

inline const QStringList& LatinFamilies() {
  static const QStringList families = {"Arial", "Liberation Sans", "DejaVu Sans"};
  return families;
}

}  // namespace orv::test
