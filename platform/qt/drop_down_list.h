#pragma once

#include <QComboBox>
#include <QString>
#include <cstdint>

namespace orv {

// A pick-only list: no typed text. Positions count from 0, -1 is none.
class DropDownList : public QComboBox {
 public:
  explicit DropDownList(QWidget* parent);

  void AddItem(const QString& text);
  void Clear();
  std::int16_t ListCount() const;
  std::int16_t ListIndex() const;
  // Error(InvalidProperty) outside -1 .. ListCount() - 1.
  void ListIndex(std::int16_t position);
};

}  // namespace orv
