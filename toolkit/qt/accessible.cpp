#include "toolkit/qt/accessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVector>
#include <algorithm>

#include "toolkit/qt/drop_down_list.h"
#include "toolkit/qt/group_frame.h"
#include "toolkit/qt/label.h"
#include "toolkit/qt/picture_box.h"

namespace orv::qt {
namespace {

// Read-only text: the whole of it, its characters laid out by the widget.
// Orca reads a label's or a list's text where it has one (flat review, the
// list's entry), and falls back to the name where it has none.
class ReadOnlyText : public QAccessibleTextInterface {
 public:
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && SelectedWhole()) *endOffset = characterCount();
  }
  int selectionCount() const override { return SelectedWhole() && characterCount() > 0 ? 1 : 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int startOffset, int endOffset) const override {
    const QString all = Shown();
    if (startOffset < 0 || endOffset < startOffset || startOffset > all.size()) return {};
    return all.mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return static_cast<int>(Shown().size()); }
  // Screen readers place text by its characters' rectangles (Orca's flat
  // review skips text it cannot place), so they are laid out as the widget
  // draws the text: one line in the widget's font, aligned in its area.
  QRect characterRect(int offset) const override {
    const QString all = Shown();
    if (offset < 0 || offset >= all.size()) return {};
    const QFontMetrics metrics(Widget()->font());
    const QRect area = TextArea();
    const int width = metrics.horizontalAdvance(all);
    const int left = (Alignment() & Qt::AlignRight) != 0 ? area.right() + 1 - width : area.left();
    const QRect local(left + metrics.horizontalAdvance(all.left(offset)), area.top(),
                      metrics.horizontalAdvance(all.mid(offset, 1)), metrics.height());
    return QRect(Widget()->mapToGlobal(local.topLeft()), local.size());
  }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = offset;
    return {};
  }

 protected:
  virtual QString Shown() const = 0;
  virtual const QWidget* Widget() const = 0;
  // Where the text stands inside the widget, and how it is aligned there.
  virtual QRect TextArea() const = 0;
  virtual Qt::Alignment Alignment() const { return Qt::AlignLeft; }
  // A focused list shows its entry highlighted, as a selection.
  virtual bool SelectedWhole() const { return false; }
};

// A frame that groups controls; no name, no focus.
class AccessibleGroup : public QAccessibleWidget {
 public:
  explicit AccessibleGroup(QWidget* w) : QAccessibleWidget(w, QAccessible::Grouping) {}
};

// The graph: an image named and described by the layout.
class AccessibleGraph : public QAccessibleWidget {
 public:
  explicit AccessibleGraph(QWidget* w) : QAccessibleWidget(w, QAccessible::Graphic) {}
};

// A label named by its caption where the builder gave it one (a value
// box), otherwise by its text; its text is what it shows either way. No
// event goes out when the text changes, so a reader does not chase the
// numbers that change ten times a second: it reads them when asked.
class AccessibleLabel : public QAccessibleWidget, public ReadOnlyText {
 public:
  explicit AccessibleLabel(QtLabel* label)
      : QAccessibleWidget(label, QAccessible::StaticText), m_label(label) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && m_label->accessibleName().isEmpty()) return m_label->text();
    return QAccessibleWidget::text(t);
  }
  using ReadOnlyText::text;

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }

  // The control a caption label names, as QLabel's own interface reports it.
  QVector<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
      QAccessible::Relation match) const override {
    auto result = QAccessibleWidget::relations(match);
    if ((match & QAccessible::Labelled) != 0 && m_label->buddy() != nullptr) {
      if (QAccessibleInterface* buddy = QAccessible::queryAccessibleInterface(m_label->buddy())) {
        result.append({buddy, QAccessible::Labelled});
      }
    }
    return result;
  }

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

 protected:
  QString Shown() const override { return m_label->text(); }
  const QWidget* Widget() const override { return m_label; }
  QRect TextArea() const override {
    const int indent = std::max(m_label->indent(), 0);
    return m_label->contentsRect().adjusted(indent, 0, -indent, 0);
  }
  Qt::Alignment Alignment() const override { return m_label->alignment(); }

 private:
  QtLabel* m_label;
};

// The list: named by its caption (Qt's own combo box takes the entry for
// its name on Linux), its entry as its value and its text, and its popup
// list as its one child.
class AccessibleList : public QAccessibleWidget, public ReadOnlyText {
 public:
  explicit AccessibleList(QtDropDownList* list)
      : QAccessibleWidget(list, QAccessible::ComboBox), m_list(list) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return m_list->currentText();
    return QAccessibleWidget::text(t);
  }
  using ReadOnlyText::text;

  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(m_list->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == m_list->view() ? 0 : -1;
  }

  // The closed list is itself the focus: Qt's default would hand it on to
  // the current entry of the hidden popup list, and Orca would then read
  // that entry as a focused list item and stop following the list.
  QAccessibleInterface* focusChild() const override {
    if (!m_list->view()->isVisible()) return nullptr;
    QAccessibleInterface* popup = child(0);
    return popup == nullptr ? nullptr : popup->focusChild();
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.expandable = true;
    s.expanded = m_list->view()->isVisible();
    s.collapsed = !s.expanded;
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

 protected:
  QString Shown() const override { return m_list->currentText(); }
  const QWidget* Widget() const override { return m_list; }
  QRect TextArea() const override {
    QStyleOptionComboBox option;
    option.initFrom(m_list);
    option.editable = false;
    return m_list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                           QStyle::SC_ComboBoxEditField, m_list);
  }
  bool SelectedWhole() const override { return m_list->hasFocus(); }

 private:
  QtDropDownList* m_list;
};

// Qt asks the factories for every class of an object's meta-object chain;
// the toolkit's controls carry no meta-object of their own, so they are
// recognised by their C++ type, whatever class name Qt asks with.
QAccessibleInterface* Factory(const QString& /*className*/, QObject* object) {
  if (auto* list = dynamic_cast<QtDropDownList*>(object)) return new AccessibleList(list);
  if (auto* label = dynamic_cast<QtLabel*>(object)) return new AccessibleLabel(label);
  if (auto* graph = dynamic_cast<QtPictureBox*>(object)) return new AccessibleGraph(graph);
  if (auto* group = dynamic_cast<QtGroupFrame*>(object)) return new AccessibleGroup(group);
  return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() { QAccessible::installFactory(&Factory); }

}  // namespace orv::qt
