#include "platform/qt/drop_down_list.h"

#include <string>

#include "platform/error.h"

namespace orv {

DropDownList::DropDownList(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setInsertPolicy(QComboBox::NoInsert);
  setFocusPolicy(Qt::StrongFocus);
}

void DropDownList::AddItem(const QString& text) {
  // Positions are 16-bit: an entry past 32767 could never be selected.
  if (count() >= 32767) throw Error(ErrorCode::Overflow, "too many list entries");
  addItem(text);
}

void DropDownList::Clear() { clear(); }

std::int16_t DropDownList::ListCount() const { return static_cast<std::int16_t>(count()); }

std::int16_t DropDownList::ListIndex() const { return static_cast<std::int16_t>(currentIndex()); }

void DropDownList::ListIndex(std::int16_t position) {
  if (position < -1 || position >= count()) {
    throw Error(ErrorCode::InvalidProperty,
                "invalid list position " + std::to_string(position) + " of " +
                    std::to_string(count()));
  }
  setCurrentIndex(position);
}

}  // namespace orv
