#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

#include "platform/controls.h"

namespace orv::qt {

// A text label. With AutoSize on it refits its size to its text, on one
// line, from its fixed top-left corner whenever the caption changes.
class QtLabel : public QLabel, public Label {
 public:
  explicit QtLabel(QWidget* parent);

  std::u16string Caption() const override;
  void Caption(std::u16string_view text) override;

  void AutoSize(bool on);
  bool AutoSize() const { return m_autoSize; }
  // Opaque paints the background colour behind the text; transparent
  // lets the container show through.
  void Opaque(bool on, QColor background = Qt::white);
  void ForeColor(QColor color);
  void SingleBorder(bool on);

 private:
  void Refit();
  bool m_autoSize = false;
};

}  // namespace orv::qt
