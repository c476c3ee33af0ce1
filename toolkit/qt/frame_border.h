#pragma once

#include <QFrame>
#include <QPaintEvent>

namespace orv::qt {

// Whether a paint leaves a frame's border alone: a patch inside its
// contents, which is all that a changed caption or changed graph pixels
// repaint. The border lies between the frame's edge and its contents, and
// drawing it costs more than many a patch.
inline bool LeavesBorderAlone(const QFrame& frame, const QPaintEvent& event) {
  return frame.contentsRect().contains(event.region().boundingRect());
}

}  // namespace orv::qt
