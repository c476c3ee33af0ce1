#include "toolkit/qt/drop_down_list.h"

#include <QAccessible>
#include <QPainter>
#include <QPen>
#include <QStyleOptionComboBox>
#include <string>

#include "platform/error.h"
#include "toolkit/qt/text.h"

namespace orv::qt {

QtDropDownList::QtDropDownList(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setInsertPolicy(QComboBox::NoInsert);
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QComboBox::currentIndexChanged, this, [this] { AnnounceEntry(); });
}

void QtDropDownList::AddItem(std::u16string_view text) {
  if (count() >= kMaxListEntries) throw Error(ErrorCode::Overflow, "too many list entries");
  addItem(ToQString(text));
}

void QtDropDownList::Clear() { clear(); }

std::int16_t QtDropDownList::ListCount() const { return static_cast<std::int16_t>(count()); }

std::int16_t QtDropDownList::ListIndex() const { return static_cast<std::int16_t>(currentIndex()); }

void QtDropDownList::ListIndex(std::int16_t position) {
  if (position < -1 || position >= count()) {
    throw Error(ErrorCode::InvalidProperty, "invalid list position " + std::to_string(position) +
                                                " of " + std::to_string(count()));
  }
  setCurrentIndex(position);
}

std::u16string QtDropDownList::List(std::int16_t position) const {
  if (position < 0 || position >= count()) {
    throw Error(ErrorCode::InvalidProperty, "no list entry " + std::to_string(position));
  }
  return itemText(position).toStdU16String();
}

}  // namespace orv::qt

namespace orv::qt {

// Orca 43 speaks a change of a closed list's entry only as inserted text
// that is also selected: Qt's own notice of it is a description change
// whose content Orca refuses, and a moved caret is dropped when two
// entries have the same length. The list's text is its entry, selected
// while it has the focus (toolkit/qt/accessible.cpp). The new entry goes
// out as an insertion alone: the removal of the old one, selected too,
// would be spoken first as "Selection deleted".
void QtDropDownList::AnnounceEntry() {
  const QString entry = currentText();
  if (entry == m_announced) return;
  m_announced = entry;
  if (entry.isEmpty()) return;
  QAccessibleTextInsertEvent event(this, 0, entry);
  QAccessible::updateAccessibility(&event);
}

// The list is the window's only tab stop. When Qt found no other stop for
// Tab, it went on to report the hidden popup's current entry as focused
// over AT-SPI (seen with Orca 43): the reader then followed that entry and
// no longer heard the list. Tab still moves to another stop where there is
// one; where there is none it is taken as handled, and the focus stays.
bool QtDropDownList::focusNextPrevChild(bool next) {
  QComboBox::focusNextPrevChild(next);
  return true;
}

void QtDropDownList::paintEvent(QPaintEvent* event) {
  QComboBox::paintEvent(event);
  // Styles draw a focus frame only after focus moved by keyboard; the list
  // has the focus from the moment the window opens, so it marks it itself:
  // a dotted line inside the text field, in the highlight colour.
  if (!hasFocus()) return;
  QStyleOptionComboBox option;
  initStyleOption(&option);
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  QPainter painter(this);
  QPen pen(palette().color(QPalette::Highlight));
  pen.setStyle(Qt::DotLine);
  painter.setPen(pen);
  painter.drawRect(field.adjusted(0, 0, -1, -1));
}

}  // namespace orv::qt
