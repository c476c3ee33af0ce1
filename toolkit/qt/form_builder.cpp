#include "toolkit/qt/form_builder.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QStringList>
#include <map>
#include <string>
#include <vector>

#include "platform/form_rules.h"
#include "toolkit/qt/accessible.h"
#include "toolkit/qt/art.h"
#include "toolkit/qt/color.h"
#include "toolkit/qt/drop_down_list.h"
#include "toolkit/qt/group_frame.h"
#include "toolkit/qt/label.h"
#include "toolkit/qt/picture_box.h"
#include "toolkit/qt/text.h"
#include "toolkit/qt/timer.h"

namespace orv::qt {
namespace {

// The layout is measured at 96 dpi, whatever the screen reports; Qt's own
// device-pixel scaling takes it to other resolutions.
constexpr int kLayoutDpi = 96;

int Px(std::int32_t twips) { return TwipsToPixels(twips, kLayoutDpi); }

// The faces the layout names, each with the installed faces nearest to
// it; a face not listed is asked for as it is.
QStringList Families(std::u16string_view face) {
  if (face == u"宋体") {
    return {QStringLiteral("宋体"),
            QStringLiteral("SimSun"),
            QStringLiteral("NSimSun"),
            QStringLiteral("WenQuanYi Micro Hei"),
            QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("Noto Sans SC"),
            QStringLiteral("Droid Sans Fallback")};
  }
  if (face == u"Arial") {
    return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
            QStringLiteral("DejaVu Sans")};
  }
  return {ToQString(face)};
}

// Point sizes become pixel sizes at the layout's resolution, so the layout
// does not depend on the screen's reported one.
QFont ToQFont(const FontDescription& d) {
  QFont font;
  font.setFamilies(Families(d.face));
  font.setPixelSize(PointsToPixels(d.points, kLayoutDpi));
  font.setWeight(d.bold ? QFont::Bold : QFont::Normal);
  font.setItalic(false);
  return font;
}

// The style's own light palette with the form's colours, every role of
// every group pinned: a role left unpinned would follow the desktop's
// palette, and a dark one would put its light text on the layout's light
// faces, or its dark buttons under the list's black text.
QPalette StandardPalette(const QWidget* window, const FormDescription& form) {
  QPalette p = window->style()->standardPalette();
  const QColor text = ToQColor(form.colors.text);
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Window, ToQColor(form.backColor));
    p.setColor(group, QPalette::Base, ToQColor(form.colors.window));
    if (group == QPalette::Disabled) continue;
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      p.setColor(group, role, text);
    }
  }
  for (int group = 0; group < QPalette::NColorGroups; ++group) {
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
      const auto g = static_cast<QPalette::ColorGroup>(group);
      const auto r = static_cast<QPalette::ColorRole>(role);
      p.setBrush(g, r, p.brush(g, r));
    }
  }
  return p;
}

void SetBackground(QWidget* widget, Color color) {
  QPalette p = widget->palette();
  p.setColor(QPalette::Window, ToQColor(color));
  widget->setPalette(p);
  widget->setAutoFillBackground(true);
}

class Builder {
 public:
  explicit Builder(const FormDescription& form) : m_form(form) {}

  std::unique_ptr<QtForm> Build() {
    CheckFormDescription(m_form);
    InstallAccessibleInterfaces();
    auto* window = new QWidget;
    auto result = std::make_unique<QtForm>(window);
    window->setObjectName(Latin1(m_form.name));
    window->setWindowTitle(ToQString(m_form.caption));
    // No maximise box: the controls never follow the window's size, so
    // maximising would only show empty face.
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (!m_form.icon.empty()) window->setWindowIcon(LoadIcon(m_form.icon));
    // Before any control is made: each one starts from the window's palette.
    window->setPalette(StandardPalette(window, m_form));
    window->setAutoFillBackground(true);
    window->setFont(ToQFont(m_form.font));
    const QSize client(Px(m_form.client.width), Px(m_form.client.height));
    // A fixed size is a minimum equal to the maximum, which is what window
    // managers read to offer no resize and no maximise. Qt 6.4's own
    // Wayland title bar, drawn where the compositor leaves it to the
    // program, shows a maximise button all the same: it reads neither.
    if (m_form.fixedSize) {
      window->setFixedSize(client);
    } else {
      window->resize(client);
    }
    m_made[m_form.name] = window;

    for (const ControlDescription& d : m_form.controls) m_made[d.name] = Make(d);
    Stack();
    ChainTabs();
    NameForScreenReaders();
    return result;
  }

 private:
  struct Container {
    QWidget* widget;
    bool isPictureBox;
  };

  // The description was checked: a container other than the form is a
  // frame or picture box made before the controls it holds.
  Container ContainerOf(const ControlDescription& d) const {
    const ControlDescription* holder = FindControl(m_form, d.container);
    return {Widget(d.container), holder != nullptr && holder->kind == ControlKind::PictureBox};
  }

  // Places a control by its twips rectangle inside its container's inner
  // area: for a picture box that area starts inside its border.
  static void Place(QWidget* control, const Container& container, const TwipsRect& r) {
    QRect rect(Px(r.left), Px(r.top), Px(r.width), Px(r.height));
    if (container.isPictureBox) rect.translate(container.widget->contentsRect().topLeft());
    control->setGeometry(rect);
  }

  QObject* Make(const ControlDescription& d) {
    const Container container = ContainerOf(d);
    QObject* made = nullptr;
    switch (d.kind) {
      case ControlKind::Label:
        made = MakeLabel(d, container);
        break;
      case ControlKind::Frame:
        made = MakeFrame(d, container);
        break;
      case ControlKind::DropDownList:
        made = MakeList(d, container);
        break;
      case ControlKind::PictureBox:
        made = d.picture.empty() ? MakeGraphBox(d, container) : MakeBanner(d, container);
        break;
      case ControlKind::Timer:
        made = new QtTimer(container.widget, Latin1(d.name), d.intervalMs);
        break;
    }
    made->setObjectName(Latin1(d.name));
    return made;
  }

  QWidget* MakeLabel(const ControlDescription& d, const Container& container) const {
    auto* label = new QtLabel(container.widget);
    if (d.font) label->setFont(ToQFont(*d.font));
    label->ForeColor(ToQColor(ForeColorOf(m_form, d)));
    if (d.opaque) label->Opaque(true, ToQColor(BackColorOf(m_form, d)));
    if (d.singleBorder) label->SingleBorder(true);
    if (d.align == TextAlign::Right) label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setWordWrap(d.wordWrap);
    label->Caption(d.caption);
    Place(label, container, d.rect);
    // Switched on after the placing: the layout's sizes were measured for
    // the first caption, and the next caption change refits.
    label->AutoSize(d.autoSize);
    return label;
  }

  QWidget* MakeFrame(const ControlDescription& d, const Container& container) const {
    auto* frame = new QtGroupFrame(container.widget);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setLineWidth(1);
    frame->setFocusPolicy(Qt::NoFocus);
    SetBackground(frame, BackColorOf(m_form, d));
    Place(frame, container, d.rect);
    return frame;
  }

  QWidget* MakeList(const ControlDescription& d, const Container& container) const {
    auto* list = new QtDropDownList(container.widget);
    if (d.font) list->setFont(ToQFont(*d.font));
    QPalette p = list->palette();
    p.setColor(QPalette::Base, ToQColor(BackColorOf(m_form, d)));
    for (const auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText}) {
      p.setColor(role, ToQColor(ForeColorOf(m_form, d)));
    }
    list->setPalette(p);
    Place(list, container, d.rect);
    return list;
  }

  // A picture box that only shows its art: a sunken panel with the image
  // unscaled at the top-left of its inner area.
  QWidget* MakeBanner(const ControlDescription& d, const Container& container) const {
    auto* banner = new QLabel(container.widget);
    banner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    banner->setLineWidth(2);
    banner->setMargin(0);
    banner->setIndent(0);
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    banner->setPixmap(LoadPicture(d.picture, banner->devicePixelRatioF()));
    // Nothing in a picture box reacts to keys, so it takes no focus.
    banner->setFocusPolicy(Qt::NoFocus);
    SetBackground(banner, BackColorOf(m_form, d));
    Place(banner, container, d.rect);
    return banner;
  }

  static QWidget* MakeGraphBox(const ControlDescription& d, const Container& container) {
    auto* box = new QtPictureBox(container.widget);
    box->setFocusPolicy(Qt::NoFocus);
    Place(box, container, d.rect);
    if (d.backColor) box->BackColor(*d.backColor);
    return box;
  }

  QWidget* Widget(std::string_view name) const { return qobject_cast<QWidget*>(m_made.at(name)); }

  // Raised from the bottom up, each container's controls end in the
  // description's stacking.
  void Stack() const {
    for (std::string_view container : ContainerNames(m_form)) {
      const std::vector<std::size_t> order = DesignStacking(m_form, container);
      for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Widget(m_form.controls[*it].name)->raise();
      }
    }
  }

  // Tab order by tab index; the first control in it that takes the focus
  // has it when the window opens.
  void ChainTabs() const {
    QWidget* previous = nullptr;
    QWidget* first = nullptr;
    for (std::size_t i : TabOrder(m_form)) {
      QWidget* w = Widget(m_form.controls[i].name);
      if (previous != nullptr) QWidget::setTabOrder(previous, w);
      previous = w;
      if (first == nullptr && (w->focusPolicy() & Qt::TabFocus) != 0) first = w;
    }
    if (first != nullptr) first->setFocus(Qt::OtherFocusReason);
  }

  // A screen reader names a control by its caption label, or by the name
  // the description gives it; without one a value box would be read out
  // as its bare number and the list as its current entry.
  void NameForScreenReaders() const {
    for (const ControlDescription& d : m_form.controls) {
      QWidget* w = d.kind == ControlKind::Timer ? nullptr : Widget(d.name);
      if (w == nullptr) continue;
      if (!d.accessibleName.empty()) w->setAccessibleName(ToQString(d.accessibleName));
      if (!d.accessibleDescription.empty()) {
        w->setAccessibleDescription(ToQString(d.accessibleDescription));
      }
      if (d.labelFor.empty()) continue;
      // Checked: a caption is a label, and what it names a control.
      QWidget* captioned = Widget(d.labelFor);
      qobject_cast<QLabel*>(w)->setBuddy(captioned);
      captioned->setAccessibleName(ToQString(d.caption).trimmed());
    }
  }

  const FormDescription& m_form;
  std::map<std::string_view, QObject*> m_made;
};

}  // namespace

std::unique_ptr<QtForm> BuildQtForm(const FormDescription& description) {
  return Builder(description).Build();
}

}  // namespace orv::qt
