// The Qt window closed or destroyed by a yield in the middle of a tick.

#include <gtest/gtest.h>

#include <QApplication>

#include "tests/monitor/layout_fixture.h"
#include "tests/monitor/scripted_reader.h"

namespace orv {
namespace {

class QtYieldTest : public ::testing::Test {
 protected:
  // Opens the window and runs a first tick; the yields of the next tick
  // run onYield.
  void Open(std::function<void(int)> then) {
    reader->Set(test::Interfaces(1));
    MonitorServices s;
    s.makeReader = [r = reader]() -> std::shared_ptr<InterfaceReader> { return r; };
    s.doEvents = [this] {
      ++yields;
      if (onYield) onYield(yields);
    };
    s.startTimers = false;
    window = BuildMonitor(std::move(s));
    widget = WindowWidget(*window);
    window->Form_Load();
    widget->show();
    window->tmrUpdate_Timer();
    yields = 0;
    onYield = std::move(then);
    reader->Set(test::Interfaces(1, 3000, 0));
  }

  std::function<void(int)> onYield;

  std::shared_ptr<test::ScriptedReader> reader = std::make_shared<test::ScriptedReader>();
  std::unique_ptr<frmBandwidth> window;
  QWidget* widget = nullptr;
  int yields = 0;
};

// Closing hides the window; it is still there, so the tick runs to its end.
TEST_F(QtYieldTest, ClosingTheWindowLetsTheTickFinish) {
  Open([this](int n) {
    if (n == 1) widget->close();
  });
  window->tmrUpdate_Timer();
  EXPECT_FALSE(widget->isVisible());
  EXPECT_EQ(yields, 2);
  EXPECT_EQ(window->lblDSpeed->Caption(), u"2.93 KBS ");
}

// Qt itself deleting the widget ends the tick at once; the window's own end
// afterwards touches none of the deleted controls (ASan would see it).
TEST_F(QtYieldTest, DeletingTheWidgetStopsTheTick) {
  Open([this](int n) {
    if (n == 1) delete widget;
  });
  window->tmrUpdate_Timer();
  EXPECT_EQ(yields, 1);
  EXPECT_EQ(WindowWidget(*window), nullptr);
  window.reset();
}

}  // namespace
}  // namespace orv
