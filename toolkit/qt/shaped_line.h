#pragma once

#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QTextLayout>

namespace orv::qt {

// One line of text, shaped once and then measured and drawn as often as
// asked. QPainter::drawText and QFontMetrics::horizontalAdvance each shape
// their text anew, and shaping is most of what a label costs: a caption
// that changes ten times a second was shaped twice for every change and
// again for every repaint.
class ShapedLine {
 public:
  // Shapes TEXT in FONT, unless that is what it holds already.
  void Shape(const QString& text, const QFont& font);

  // The text's advance in whole pixels, as QFontMetrics::horizontalAdvance
  // gives it: trailing spaces included.
  int Advance() const { return m_advance; }

  // Draws the line as QPainter::drawText(AREA, ALIGNMENT, text) draws one
  // line of plain left-to-right text: at the top of AREA, at its left or
  // right edge or centred, clipped to AREA where it does not fit.
  void Draw(QPainter& painter, const QRect& area, Qt::Alignment alignment) const;

 private:
  QString m_text;
  QFont m_font;
  bool m_shaped = false;
  QTextLayout m_layout;
  int m_advance = 0;
};

}  // namespace orv::qt
