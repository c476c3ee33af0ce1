#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace orv {

// A repeating timer. Disabling stops its events; enabling starts its
// period anew.
class Timer : public QTimer {
 public:
  Timer(QObject* parent, const QString& name, int intervalMs, std::function<void()> handler);

  bool Enabled() const;
  void Enabled(bool on);
};

}  // namespace orv
