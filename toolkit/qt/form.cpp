#include "toolkit/qt/form.h"

#include <stdexcept>
#include <string>

#include "toolkit/qt/drop_down_list.h"
#include "toolkit/qt/label.h"
#include "toolkit/qt/picture_box.h"
#include "toolkit/qt/timer.h"

namespace orv::qt {

QtForm::QtForm(QWidget* window) : m_window(window) {}

QtForm::~QtForm() { delete m_window.data(); }

template <class Control>
Control& QtForm::Find(std::string_view name) const {
  // The controls carry no meta-object of their own, so Qt's casts would
  // take any QLabel for a QtLabel: the kind is checked with dynamic_cast.
  if (m_window) {
    const QString objectName = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (QObject* candidate : m_window->findChildren<QObject*>(objectName)) {
      if (auto* control = dynamic_cast<Control*>(candidate)) return *control;
    }
  }
  throw std::logic_error("the window has no control " + std::string(name) + " of that kind");
}

Label& QtForm::FindLabel(std::string_view name) { return Find<QtLabel>(name); }
DropDownList& QtForm::FindList(std::string_view name) { return Find<QtDropDownList>(name); }
PictureSurface& QtForm::FindPicture(std::string_view name) { return Find<QtPictureBox>(name); }
Timer& QtForm::FindTimer(std::string_view name) { return Find<QtTimer>(name); }

AliveToken QtForm::Token() const {
  return AliveToken([window = m_window] { return !window.isNull(); });
}

}  // namespace orv::qt
