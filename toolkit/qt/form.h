#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string_view>

#include "platform/form.h"

namespace orv::qt {

// A top-level Qt widget as a Form: its controls are its descendants,
// found by their object names. The form owns the widget unless Qt deleted
// it first.
class QtForm : public Form {
 public:
  explicit QtForm(QWidget* window);
  ~QtForm() override;
  QtForm(const QtForm&) = delete;
  QtForm& operator=(const QtForm&) = delete;

  // Null once the widget is gone.
  QWidget* Window() const { return m_window.data(); }

  Label& FindLabel(std::string_view name) override;
  DropDownList& FindList(std::string_view name) override;
  PictureSurface& FindPicture(std::string_view name) override;
  Timer& FindTimer(std::string_view name) override;
  AliveToken Token() const override;

 private:
  template <class Control>
  Control& Find(std::string_view name) const;

  QPointer<QWidget> m_window;
};

}  // namespace orv::qt
