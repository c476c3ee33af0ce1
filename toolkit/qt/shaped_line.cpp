#include "toolkit/qt/shaped_line.h"

#include <QTextLine>
#include <QTextOption>
#include <cmath>

namespace orv::qt {

bool ShapedLine::Holds(const QString& text, const QFont& font) const {
  return m_shaped && text == m_text && font == m_font;
}

void ShapedLine::Shape(const QString& text, const QFont& font) {
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

const ShapedLine& ShapedLines::Get(const QString& text, const QFont& font) {
  ++m_uses;
  std::size_t oldest = 0;
  for (std::size_t i = 0; i < kKept; ++i) {
    if (m_lines[i].Holds(text, font)) {
      m_lastUse[i] = m_uses;
      return m_lines[i];
    }
    if (m_lastUse[i] < m_lastUse[oldest]) oldest = i;
  }
  m_lines[oldest].Shape(text, font);
  m_lastUse[oldest] = m_uses;
  ++m_shapings;
  return m_lines[oldest];
}

}  // namespace orv::qt
