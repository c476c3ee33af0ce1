#pragma once

#include <QFont>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QTextLayout>
#include <array>
#include <cstddef>
#include <cstdint>

namespace orv::qt {

// One line of text, shaped once and then measured and drawn as often as
// asked. QPainter::drawText and QFontMetrics::horizontalAdvance each shape
// their text anew, and shaping is most of what a label costs: a caption
// that changes ten times a second was shaped twice for every change and
// again for every repaint.
class ShapedLine {
 public:
  // Shapes TEXT in FONT, in place of what it held.
  void Shape(const QString& text, const QFont& font);
  bool Holds(const QString& text, const QFont& font) const;

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

// The last few lines a label showed, each shaped once: a rate that comes
// back to a text it showed a moment ago (the same count of bytes as a tick
// before, or nothing at all) is drawn again without shaping it again.
class ShapedLines {
 public:
  // TEXT in FONT, shaped now unless it is kept; a new text takes the place
  // of the one used longest ago.
  const ShapedLine& Get(const QString& text, const QFont& font);

  // How many times a text was shaped, for tests.
  std::uint64_t Shapings() const { return m_shapings; }

 private:
  static constexpr std::size_t kKept = 8;
  std::array<ShapedLine, kKept> m_lines;
  std::array<std::uint64_t, kKept> m_lastUse{};
  std::uint64_t m_uses = 0;
  std::uint64_t m_shapings = 0;
};

}  // namespace orv::qt
