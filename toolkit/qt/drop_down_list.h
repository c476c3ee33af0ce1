#pragma once

#include <QComboBox>
#include <QString>
#include <cstdint>

#include "platform/controls.h"

namespace orv::qt {

// A pick-only combo box: no typed text.
class QtDropDownList : public QComboBox, public DropDownList {
 public:
  explicit QtDropDownList(QWidget* parent);

  void AddItem(std::u16string_view text) override;
  void Clear() override;
  std::int16_t ListCount() const override;
  std::int16_t ListIndex() const override;
  void ListIndex(std::int16_t position) override;
  std::u16string List(std::int16_t position) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void AnnounceEntry();
  QString m_announced;
};

}  // namespace orv::qt
