#pragma once

#include <QFrame>

namespace orv::qt {

// A frame that groups the controls inside it. Its own type, so that
// screen readers are told it is a grouping (toolkit/qt/accessible.h).
class QtGroupFrame : public QFrame {
 public:
  using QFrame::QFrame;
};

}  // namespace orv::qt
