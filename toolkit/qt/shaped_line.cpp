#include "toolkit/qt/shaped_line.h"

#include <QTextLine>
#include <QTextOption>
#include <cmath>

namespace orv::qt {

void ShapedLine::Shape(const QString& text, const QFont& font) {
  if (m_shaped && text == m_text && font == m_font) return;
  m_text = text;
  m_font = font;
  m_shaped = true;
  m_layout.clearLayout();
  m_layout.setText(text);
  m_layout.setFont(font);
  QTextOption option;
  option.setTextDirection(Qt::LeftToRight);
  option.setWrapMode(QTextOption::NoWrap);
  m_layout.setTextOption(option);
  // Keeps the shaped glyphs between draws; without it every draw shapes.
  m_layout.setCacheEnabled(true);
  m_layout.beginLayout();
  QTextLine line = m_layout.createLine();
  if (line.isValid()) {
    // Wide enough for any text: one line that never wraps, as drawText
    // lays out a label without word-wrap.
    line.setLineWidth(1 << 24);
    line.setPosition(QPointF(0, 0));
  }
  m_layout.endLayout();
  m_advance = line.isValid() ? static_cast<int>(std::lround(line.horizontalAdvance())) : 0;
}

void ShapedLine::Draw(QPainter& painter, const QRect& area, Qt::Alignment alignment) const {
  if (m_text.isEmpty() || m_layout.lineCount() == 0) return;
  const QTextLine line = m_layout.lineAt(0);
  qreal x = area.x();
  if (alignment & Qt::AlignRight) {
    x += area.width() - line.horizontalAdvance();
  } else if (alignment & Qt::AlignHCenter) {
    x += (area.width() - line.horizontalAdvance()) / 2;
  }
  const bool fits = line.naturalTextWidth() <= area.width() && line.height() <= area.height();
  if (!fits) {
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
  }
  line.draw(&painter, QPointF(x, area.y()));
  if (!fits) painter.restore();
}

}  // namespace orv::qt
