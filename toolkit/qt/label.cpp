#include "toolkit/qt/label.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QStyle>

#include "toolkit/qt/text.h"

namespace orv::qt {

QtLabel::QtLabel(QWidget* parent) : QLabel(parent) {
  // A caption starts at the top-left of its box and never wraps.
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setWordWrap(false);
  setTextFormat(Qt::PlainText);
  setIndent(0);
  setMargin(0);
  setAutoFillBackground(false);
}

std::u16string QtLabel::Caption() const { return text().toStdU16String(); }

void QtLabel::Caption(std::u16string_view text) {
  const QString shown = ToQString(text);
  // The tick sets every label ten times a second, most of them to the text
  // they already show: then there is nothing to lay out or announce.
  if (shown == this->text()) return;
  setText(shown);
  if (m_autoSize) Refit();
}

void QtLabel::AutoSize(bool on) {
  // Switching auto-size on keeps the size the layout gave: those sizes
  // were measured for the caption it starts with. The next caption
  // change refits.
  m_autoSize = on;
}

void QtLabel::Opaque(bool on, QColor background) {
  if (on) {
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    setPalette(p);
  }
  setAutoFillBackground(on);
}

void QtLabel::ForeColor(QColor color) {
  QPalette p = palette();
  p.setColor(QPalette::WindowText, color);
  setPalette(p);
}

void QtLabel::SingleBorder(bool on) {
  if (on) {
    // A plain one-pixel line drawn in the text colour; the text keeps two
    // pixels off it on its aligned side.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setIndent(2);
  } else {
    setFrameStyle(QFrame::NoFrame);
    setIndent(0);
  }
}

void QtLabel::Refit() {
  const QFontMetrics metrics(font());
  const int frame = 2 * frameWidth();
  const int pad = 2 * margin() + (indent() > 0 ? indent() : 0);
  // One line: no wrapping, so a longer caption only ever widens the box
  // to the right of its fixed left edge.
  const int width = Shaped().Advance() + frame + pad;
  const int height = metrics.height() + frame + 2 * margin();
  setGeometry(x(), y(), width, height);
}

const ShapedLine& QtLabel::Shaped() { return m_shaped.Get(text(), font()); }

bool QtLabel::DrawsOneLine() const {
  return textFormat() == Qt::PlainText && !wordWrap() && indent() >= 0 && isEnabled() &&
         !text().contains(u'\n') && !(buddy() != nullptr && text().contains(u'&'));
}

// What QLabel paints for a plain one-line text: its frame, then the text
// in the palette's foreground colour, inside the margin and the indent.
void QtLabel::paintEvent(QPaintEvent* event) {
  if (!DrawsOneLine()) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  drawFrame(&painter);
  QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  const Qt::Alignment align = QStyle::visualAlignment(Qt::LeftToRight, alignment());
  if (indent() > 0) {
    if (align & Qt::AlignLeft) area.setLeft(area.left() + indent());
    if (align & Qt::AlignRight) area.setRight(area.right() - indent());
    if (align & Qt::AlignTop) area.setTop(area.top() + indent());
    if (align & Qt::AlignBottom) area.setBottom(area.bottom() - indent());
  }
  // The style's colour group for an enabled widget, without building a
  // whole style option for it.
  const QPalette::ColorGroup group = isActiveWindow() ? QPalette::Active : QPalette::Inactive;
  painter.setPen(QPen(palette().brush(group, foregroundRole()), painter.pen().widthF()));
  Shaped().Draw(painter, area, align);
}

}  // namespace orv::qt
