#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QWidget>
#include <stdexcept>

#include "platform/error.h"
#include "toolkit/qt/drop_down_list.h"
#include "toolkit/qt/label.h"
#include "toolkit/qt/timer.h"

namespace orv::qt {
namespace {

// Runs the event loop until the condition holds or the time is up.
template <class Cond>
bool PumpUntil(Cond cond, int limitMs) {
  QElapsedTimer clock;
  clock.start();
  while (!cond() && clock.elapsed() < limitMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return cond();
}

TEST(LabelTest, AutoSizeRefitsFromTheFixedTopLeftOnEveryCaption) {
  QtLabel label(nullptr);
  label.setGeometry(30, 40, 5, 5);
  label.AutoSize(true);
  EXPECT_EQ(label.geometry(), QRect(30, 40, 5, 5)) << "switching on must keep the given size";

  const QFontMetrics metrics(label.font());
  label.Caption(u"short");
  EXPECT_EQ(label.pos(), QPoint(30, 40));
  EXPECT_EQ(label.width(), metrics.horizontalAdvance(QStringLiteral("short")));
  EXPECT_EQ(label.height(), metrics.height());
  const int shortWidth = label.width();

  label.Caption(u"a much longer caption");
  EXPECT_EQ(label.pos(), QPoint(30, 40));
  EXPECT_GT(label.width(), shortWidth);
  EXPECT_EQ(label.height(), metrics.height()) << "one line only";

  label.Caption(u"x");
  EXPECT_LT(label.width(), shortWidth) << "shrinks too";
}

// The label draws a one-line caption from its own shaping; what reaches
// the screen must be what Qt's label draws, pixel for pixel, and its
// auto-size width the text's advance with trailing spaces.
TEST(LabelTest, DrawsAndMeasuresItsCaptionAsQtsOwnLabelDoes) {
  struct Case {
    const char* what;
    const char16_t* text;
    Qt::Alignment align;
    bool border;
    QSize size;
  };
  const Case cases[] = {
      {"rate, left", u"平均下载速率: 1,234.56 Kb/S", Qt::AlignLeft, false, {240, 14}},
      {"value box, right, trailing space", u"39.06 KBS ", Qt::AlignRight, true, {110, 23}},
      {"too wide, clipped", u"1,234,567,890 KB and more", Qt::AlignRight, true, {60, 23}},
      {"too low, clipped", u"下载速率: 0 BS ", Qt::AlignLeft, false, {200, 7}},
      {"centred", u"lo ", Qt::AlignHCenter, false, {50, 20}},
      {"empty", u"", Qt::AlignLeft, true, {40, 20}},
  };
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPixelSize(12);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString text = QString::fromUtf16(c.text);
    QWidget ours;
    QWidget qts;
    for (QWidget* parent : {&ours, &qts}) {
      parent->resize(c.size + QSize(8, 8));
      QPalette grey = parent->palette();
      grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
      parent->setPalette(grey);
      parent->setAutoFillBackground(true);
    }
    auto* label = new QtLabel(&ours);
    label->setFont(font);
    label->ForeColor(QColor(0x80, 0, 0));
    label->SingleBorder(c.border);
    label->setAlignment(c.align | Qt::AlignTop);
    label->Caption(std::u16string(c.text));
    label->setGeometry(QRect(QPoint(4, 4), c.size));

    auto* plain = new QLabel(text, &qts);
    plain->setFont(font);
    plain->setPalette(label->palette());
    plain->setTextFormat(Qt::PlainText);
    plain->setFrameStyle(label->frameStyle());
    plain->setLineWidth(label->lineWidth());
    plain->setIndent(label->indent());
    plain->setMargin(0);
    plain->setAlignment(c.align | Qt::AlignTop);
    plain->setGeometry(QRect(QPoint(4, 4), c.size));

    EXPECT_EQ(ours.grab().toImage(), qts.grab().toImage()) << "drawn otherwise than Qt's label";
    label->AutoSize(true);
    label->Caption(u"x");
    label->Caption(std::u16string(c.text));
    EXPECT_EQ(label->width(), QFontMetrics(font).horizontalAdvance(text) + 2 * label->frameWidth() +
                                  label->indent());
  }
}

TEST(LabelTest, WithoutAutoSizeTheBoxStays) {
  QtLabel label(nullptr);
  label.setGeometry(1, 2, 30, 12);
  label.Caption(u"a caption far wider than thirty pixels");
  EXPECT_EQ(label.geometry(), QRect(1, 2, 30, 12));
  EXPECT_EQ(label.Caption(), u"a caption far wider than thirty pixels");
}

TEST(LabelTest, BorderedAutoSizeLeavesRoomForTheBorder) {
  QtLabel label(nullptr);
  label.SingleBorder(true);
  label.AutoSize(true);
  label.Caption(u"123");
  const QFontMetrics metrics(label.font());
  EXPECT_EQ(label.frameWidth(), 1);
  EXPECT_GE(label.width(), metrics.horizontalAdvance(QStringLiteral("123")) + 2);
  EXPECT_EQ(label.height(), metrics.height() + 2);
}

TEST(LabelTest, OpaqueFillsWithItsColorAndTransparentDoesNot) {
  QtLabel label(nullptr);
  EXPECT_FALSE(label.autoFillBackground());
  label.Opaque(true, QColor(1, 2, 3));
  EXPECT_TRUE(label.autoFillBackground());
  EXPECT_EQ(label.palette().color(QPalette::Window), QColor(1, 2, 3));
  label.Opaque(false);
  EXPECT_FALSE(label.autoFillBackground());
  label.ForeColor(Qt::red);
  EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::red));
}

struct ListIndexCase {
  int entries;
  int position;
  bool accepted;
};

class ListIndexTest : public ::testing::TestWithParam<ListIndexCase> {};

TEST_P(ListIndexTest, AcceptsOnlyMinusOneToLastEntry) {
  const auto& c = GetParam();
  QtDropDownList list(nullptr);
  for (int i = 0; i < c.entries; ++i) list.AddItem(QString::number(i).toStdU16String());
  if (c.entries > 0) list.ListIndex(std::int16_t{0});
  const int before = list.ListIndex();
  if (c.accepted) {
    list.ListIndex(static_cast<std::int16_t>(c.position));
    EXPECT_EQ(list.ListIndex(), c.position);
    EXPECT_EQ(list.currentIndex(), c.position);
  } else {
    try {
      list.ListIndex(static_cast<std::int16_t>(c.position));
      ADD_FAILURE() << "position " << c.position << " of " << c.entries << " accepted";
    } catch (const Error& e) {
      EXPECT_EQ(e.code(), ErrorCode::InvalidProperty);
    }
    EXPECT_EQ(list.ListIndex(), before) << "a refused position changed the selection";
  }
}

INSTANTIATE_TEST_SUITE_P(Positions, ListIndexTest,
                         ::testing::Values(ListIndexCase{0, -1, true}, ListIndexCase{0, 0, false},
                                           ListIndexCase{0, -2, false}, ListIndexCase{3, -1, true},
                                           ListIndexCase{3, 0, true}, ListIndexCase{3, 2, true},
                                           ListIndexCase{3, 3, false}, ListIndexCase{3, -2, false},
                                           ListIndexCase{3, -32768, false},
                                           ListIndexCase{3, 32767, false}));

TEST(DropDownListTest, EntriesAppendInOrderAndClearEmpties) {
  QtDropDownList list(nullptr);
  EXPECT_FALSE(list.isEditable());
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.ListIndex(), -1);
  list.AddItem(u"b ");
  list.AddItem(u"a ");
  list.AddItem(u"c ");
  EXPECT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.itemText(0), QStringLiteral("b "));
  EXPECT_EQ(list.itemText(1), QStringLiteral("a ")) << "entries must not be sorted";
  EXPECT_EQ(list.itemText(2), QStringLiteral("c "));
  EXPECT_EQ(list.List(1), u"a ");
  list.ListIndex(std::int16_t{2});
  list.Clear();
  EXPECT_EQ(list.ListCount(), 0);
  EXPECT_EQ(list.ListIndex(), -1);
}

TEST(TimerTest, NamedIdleAtCreationAndCallsItsHandlerWhenEnabled) {
  QObject owner;
  int calls = 0;
  auto* timer = new QtTimer(&owner, QStringLiteral("tmrTest"), 10);
  timer->OnTimer([&] { ++calls; });
  EXPECT_EQ(timer->parent(), &owner);
  EXPECT_EQ(owner.findChild<QTimer*>(QStringLiteral("tmrTest")), timer);
  EXPECT_EQ(timer->interval(), 10);
  EXPECT_FALSE(timer->Enabled());
  timer->Enabled(true);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_TRUE(PumpUntil([&] { return calls >= 2; }, 5000)) << "repeats";
  timer->Enabled(false);
  EXPECT_FALSE(timer->Enabled());
  const int stoppedAt = calls;
  PumpUntil([] { return false; }, 60);
  EXPECT_EQ(calls, stoppedAt) << "a disabled timer fired";
}

TEST(TimerTest, EnablingARunningTimerStartsItsPeriodAnew) {
  QObject owner;
  auto* timer = new QtTimer(&owner, QStringLiteral("t"), 5000);
  timer->Enabled(true);
  PumpUntil([] { return false; }, 600);
  EXPECT_LT(timer->remainingTime(), 4700);
  timer->Enabled(true);
  EXPECT_GT(timer->remainingTime(), 4800);
}

TEST(TimerDeathTest, AnErrorEscapingAHandlerEndsTheProgramWithAReport) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        QObject owner;
        auto* timer = new QtTimer(&owner, QStringLiteral("t"), 1);
        timer->OnTimer([] { throw Error(ErrorCode::Overflow, "overflow"); });
        timer->Enabled(true);
        PumpUntil([] { return false; }, 5000);
        std::exit(0);
      },
      ::testing::ExitedWithCode(1), "Run-time error 6: overflow");
}

}  // namespace
}  // namespace orv::qt
