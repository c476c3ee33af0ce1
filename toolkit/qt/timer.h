#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "platform/controls.h"

namespace orv::qt {

// A repeating timer on Qt's event loop.
class QtTimer : public QTimer, public Timer {
 public:
  QtTimer(QObject* parent, const QString& name, int intervalMs);

  bool Enabled() const override;
  void Enabled(bool on) override;
  void OnTimer(std::function<void()> handler) override;

 private:
  std::function<void()> m_handler;
};

}  // namespace orv::qt
