#pragma once

#include <QFrame>
#include <QPaintEvent>

#include "toolkit/qt/frame_border.h"

namespace orv::qt {

// A frame that groups the controls inside it. Its own type, so that
// screen readers are told it is a grouping (toolkit/qt/accessible.h).
class QtGroupFrame : public QFrame {
 public:
  using QFrame::QFrame;

 protected:
  // The frame draws only its border; the ground under a patch is filled
  // before this runs.
  void paintEvent(QPaintEvent* event) override {
    if (!LeavesBorderAlone(*this, *event)) QFrame::paintEvent(event);
  }
};

}  // namespace orv::qt
