#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <array>
#include <stdexcept>

#include "toolkit/qt/drop_down_list.h"
#include "toolkit/qt/form_builder.h"
#include "toolkit/qt/label.h"
#include "toolkit/qt/picture_box.h"
#include "toolkit/qt/timer.h"

namespace orv::qt {
namespace {

// A small form of every kind: a frame holding two overlapping labels and a
// list, a picture box holding a label and a timer. Twips are multiples of
// 15 so the pixels are exact.
constexpr std::array kControls{
    // Listed first, yet later in the tab order than the other list.
    ControlDescription{.name = "list2",
                       .kind = ControlKind::DropDownList,
                       .container = "form",
                       .rect = {1800, 0, 1200, 330},
                       .tabIndex = 6},
    ControlDescription{.name = "box",
                       .kind = ControlKind::PictureBox,
                       .container = "form",
                       .rect = {0, 0, 1500, 750},
                       .tabIndex = 3},
    ControlDescription{.name = "inBox",
                       .kind = ControlKind::Label,
                       .container = "box",
                       .rect = {150, 150, 600, 300},
                       .tabIndex = 4,
                       .caption = u"in"},
    ControlDescription{
        .name = "tick", .kind = ControlKind::Timer, .container = "box", .intervalMs = 250},
    ControlDescription{.name = "frame",
                       .kind = ControlKind::Frame,
                       .container = "form",
                       .rect = {0, 900, 3000, 1500},
                       .tabIndex = 0},
    ControlDescription{.name = "upper",
                       .kind = ControlKind::Label,
                       .container = "frame",
                       .rect = {150, 150, 900, 300},
                       .tabIndex = 1,
                       .caption = u"upper"},
    ControlDescription{.name = "lower",
                       .kind = ControlKind::Label,
                       .container = "frame",
                       .rect = {150, 300, 900, 300},
                       .tabIndex = 5,
                       .caption = u"lower",
                       .align = TextAlign::Right},
    ControlDescription{.name = "list",
                       .kind = ControlKind::DropDownList,
                       .container = "frame",
                       .rect = {600, 150, 1500, 330},
                       .tabIndex = 2},
};
constexpr FormDescription kForm{.name = "form",
                                .caption = u"Test",
                                .client = {0, 0, 3000, 2400},
                                .backColor = 0xF0F0F0,
                                .font = {u"Arial", 9, false},
                                .controls = kControls};

TEST(FormBuilderTest, PlacesNamesStacksAndChainsAsDescribed) {
  const auto form = BuildQtForm(kForm);
  QWidget* window = form->Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->objectName(), QStringLiteral("form"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Test"));
  EXPECT_EQ(window->size(), QSize(200, 160));

  auto* box = window->findChild<QtPictureBox*>(QStringLiteral("box"));
  ASSERT_NE(box, nullptr);
  auto* inBox = dynamic_cast<QtLabel*>(&form->FindLabel("inBox"));
  ASSERT_NE(inBox, nullptr);
  // Inside a picture box the origin is the inner area, past its border.
  EXPECT_EQ(inBox->geometry(), QRect(10, 10, 40, 20).translated(box->contentsRect().topLeft()));
  EXPECT_EQ(dynamic_cast<QtTimer&>(form->FindTimer("tick")).interval(), 250);
  EXPECT_EQ(dynamic_cast<QtTimer&>(form->FindTimer("tick")).parent(), box);

  auto* frame = window->findChild<QFrame*>(QStringLiteral("frame"));
  auto* list = dynamic_cast<QtDropDownList*>(&form->FindList("list"));
  ASSERT_NE(frame, nullptr);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(frame->geometry(), QRect(0, 60, 200, 100)) << "a frame's origin is its outer edge";
  // The list, though listed after both labels, lies above them: labels
  // have no window of their own. Of the labels the earlier one is on top.
  EXPECT_EQ(frame->childAt(50, 15), list);
  EXPECT_EQ(frame->childAt(50, 25), list);
  EXPECT_EQ(frame->childAt(20, 25), window->findChild<QtLabel*>(QStringLiteral("upper")));
  EXPECT_EQ(frame->childAt(20, 35), window->findChild<QtLabel*>(QStringLiteral("lower")));
  EXPECT_TRUE(window->findChild<QtLabel*>(QStringLiteral("lower"))->alignment() & Qt::AlignRight);
  EXPECT_EQ(form->FindLabel("upper").Caption(), u"upper");

  // Frames, labels and picture boxes take no focus; the list (2) is the
  // first that does, the other list (6) the next.
  window->show();
  window->activateWindow();
  QApplication::processEvents();
  EXPECT_EQ(window->focusWidget(), list);
  QWidget* next = list->nextInFocusChain();
  while (next != list && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
  EXPECT_EQ(next, window->findChild<QtDropDownList*>(QStringLiteral("list2")));
  EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
}

TEST(FormBuilderTest, ANameOfAnotherKindOrNoneIsAFaultOfTheProgram) {
  const auto form = BuildQtForm(kForm);
  EXPECT_THROW(form->FindLabel("list"), std::logic_error);
  EXPECT_THROW(form->FindList("nothing"), std::logic_error);
  EXPECT_THROW(form->FindPicture("frame"), std::logic_error);

  static constexpr std::array kOrphan{ControlDescription{.name = "orphan",
                                                         .kind = ControlKind::Label,
                                                         .container = "missing",
                                                         .rect = {0, 0, 15, 15}}};
  const FormDescription kBad{.name = "bad", .controls = kOrphan};
  EXPECT_THROW(BuildQtForm(kBad), std::logic_error);
}

TEST(FormBuilderTest, TheTokenFollowsTheWidgetHoweverItGoes) {
  auto form = BuildQtForm(kForm);
  const AliveToken token = form->Token();
  EXPECT_TRUE(token.Alive());
  delete form->Window();  // as Qt would delete a window closed for good
  EXPECT_FALSE(token.Alive());
  EXPECT_EQ(form->Window(), nullptr);
  form.reset();  // must not delete it a second time

  auto other = BuildQtForm(kForm);
  const AliveToken second = other->Token();
  other.reset();
  EXPECT_FALSE(second.Alive());
  EXPECT_FALSE(AliveToken().Alive()) << "a token of nothing is never alive";
}

}  // namespace
}  // namespace orv::qt
