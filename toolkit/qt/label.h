#pragma once

#include <QColor>
#include <QLabel>
#include <QString>

#include "platform/controls.h"
#include "toolkit/qt/shaped_line.h"

namespace orv::qt {

// A text label. With AutoSize on it refits its size to its text, on one
// line, from its fixed top-left corner whenever the caption changes. A
// one-line caption is shaped once, when first shown, and refitted and
// drawn from that shaping for as long as the label keeps it.
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

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Refit();
  // Whether the caption is one plain line that the shaped line draws as
  // QLabel would; several lines, a mnemonic, a style's own indent or a
  // disabled look are left to QLabel.
  bool DrawsOneLine() const;
  const ShapedLine& Shaped();
  bool m_autoSize = false;
  ShapedLines m_shaped;
};

}  // namespace orv::qt
