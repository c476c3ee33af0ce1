#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMap>
#include <QPixmap>
#include <QTimer>
#include <optional>
#include <set>

#include "tests/monitor/layout_fixture.h"

namespace orv {
namespace {

using orv::testing::CjkFamilies;
using orv::testing::LatinFamilies;
using orv::testing::MakeWindow;

enum class Kind { Banner, Label, Picture, Frame, List, Timer };
enum class Face { Inherit, Window, WindowBold, Latin, LatinBold };

struct Expected {
  const char* name;
  Kind kind;
  const char* parent;
  QRect geometry;  // pixels, in the parent widget
  std::optional<QString> text;
  std::optional<QColor> foreground;
  std::optional<QColor> background;  // opaque fill; nullopt: transparent or default
  Face face;
};

const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kFace(240, 240, 240);
const QColor kRed(255, 0, 0);
const QColor kGrey(64, 64, 64);

// Positions: the table's twips divided by 15. Children of the banner box sit
// inside its two-pixel border.
const Expected kControls[] = {
    {"Picture1", Kind::Banner, "frmBandwidth", {0, 0, 393, 81}, {}, {}, kFace, Face::Inherit},
    {"Label7", Kind::Label, "Picture1", {266, 50, 121, 17}, {}, kRed, kFace, Face::WindowBold},
    {"Label6", Kind::Label, "Picture1", {266, 26, 97, 17}, {}, kRed, kFace, Face::Window},
    {"PIC1", Kind::Picture, "frmBandwidth", {0, 72, 379, 117}, {}, {}, {}, Face::Inherit},
    {"tmrUpdate", Kind::Timer, "PIC1", {}, {}, {}, {}, Face::Inherit},
    {"Timer1", Kind::Timer, "PIC1", {}, {}, {}, {}, Face::Inherit},
    {"Frame2", Kind::Frame, "frmBandwidth", {0, 184, 380, 136}, {}, {}, kFace, Face::Inherit},
    {"cboConnectionType", Kind::List, "Frame2", {4, 77, 364, 22}, {}, {}, {}, Face::LatinBold},
    {"lblType", Kind::Label, "Frame2", {93, 104, 286, 31}, "TokenRing ", kGrey, {}, Face::Latin},
    {"Label1", Kind::Label, "Frame2", {9, 104, 73, 14}, "连接类型 :", {}, {}, Face::Window},
    {"lblDownloadSpeedTop", Kind::Label, "Frame2", {3, 10, 54, 12}, "下载速率:", kBlack, {},
     Face::Window},
    {"lblUploadSpeedTop", Kind::Label, "Frame2", {5, 27, 54, 12}, "上载速率:", kBlack, {},
     Face::Window},
    {"lblDownloadSpeedAverage", Kind::Label, "Frame2", {4, 43, 78, 12}, "平均下载速率:", kBlack,
     {}, Face::Window},
    {"lblUploadSpeedAverage", Kind::Label, "Frame2", {4, 59, 78, 12}, "平均上载速率:", kBlack, {},
     Face::Window},
    {"Frame3", Kind::Frame, "frmBandwidth", {0, 320, 380, 118}, {}, {}, kFace, Face::Inherit},
    {"lblUSpeed", Kind::Label, "Frame3", {101, 87, 110, 23}, "Label7", kBlack, kWhite, Face::Latin},
    {"lblDSpeed", Kind::Label, "Frame3", {101, 63, 110, 23}, "Label6", kBlack, kWhite, Face::Latin},
    {"lblSent", Kind::Label, "Frame3", {101, 39, 110, 23}, "Label1", kBlack, kWhite, Face::Latin},
    {"lblRecv", Kind::Label, "Frame3", {101, 15, 110, 23}, "Label1", kBlack, kWhite, Face::Latin},
    {"Label4", Kind::Label, "Frame3", {4, 66, 96, 23}, " 下载速率:", kBlack, {}, Face::Window},
    {"Label3", Kind::Label, "Frame3", {10, 43, 62, 17}, "发送字节:", kBlack, {}, Face::Window},
    {"Label2", Kind::Label, "Frame3", {4, 19, 89, 18}, " 接收字节:", kBlack, {}, Face::Window},
    {"Label5", Kind::Label, "Frame3", {4, 87, 96, 23}, " 上载速率:", kBlack, {}, Face::Window},
};

class ControlTest : public ::testing::TestWithParam<Expected> {
 protected:
  static void SetUpTestSuite() { window = MakeWindow().release(); }
  static void TearDownTestSuite() {
    delete window;
    window = nullptr;
  }
  static frmBandwidth* window;
};
frmBandwidth* ControlTest::window = nullptr;

bool IsKind(QObject* o, Kind kind) {
  switch (kind) {
    case Kind::Banner:
      return qobject_cast<QLabel*>(o) != nullptr && dynamic_cast<Label*>(o) == nullptr;
    case Kind::Label:
      return dynamic_cast<Label*>(o) != nullptr;
    case Kind::Picture:
      return dynamic_cast<PictureBox*>(o) != nullptr;
    case Kind::Frame:
      return o->metaObject() == &QFrame::staticMetaObject;
    case Kind::List:
      return dynamic_cast<DropDownList*>(o) != nullptr;
    case Kind::Timer:
      return dynamic_cast<Timer*>(o) != nullptr;
  }
  return false;
}

TEST_P(ControlTest, IsBuiltAsLaidOut) {
  const Expected& e = GetParam();
  const QString name = QString::fromLatin1(e.name);
  const auto found = window->findChildren<QObject*>(name);
  ASSERT_EQ(found.size(), 1) << "controls named " << e.name;
  QObject* object = found.front();
  EXPECT_TRUE(IsKind(object, e.kind)) << e.name << " is a " << object->metaObject()->className();
  ASSERT_NE(object->parent(), nullptr);
  EXPECT_EQ(object->parent()->objectName(), QString::fromLatin1(e.parent)) << e.name;

  if (e.kind == Kind::Timer) return;  // no geometry, text or font
  auto* widget = qobject_cast<QWidget*>(object);
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->geometry(), e.geometry) << e.name;
  EXPECT_TRUE(widget->isVisibleTo(window)) << e.name;

  if (e.text) {
    auto* label = qobject_cast<QLabel*>(widget);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), *e.text) << e.name;
  }
  if (e.foreground) {
    EXPECT_EQ(widget->palette().color(QPalette::WindowText), *e.foreground) << e.name;
  }
  if (e.background) {
    EXPECT_TRUE(widget->autoFillBackground()) << e.name << " should be opaque";
    EXPECT_EQ(widget->palette().color(QPalette::Window), *e.background) << e.name;
  } else if (e.kind == Kind::Label) {
    EXPECT_FALSE(widget->autoFillBackground()) << e.name << " should be transparent";
  }

  const QFontInfo info(widget->font());
  switch (e.face) {
    case Face::Inherit:
    case Face::Window:
      EXPECT_TRUE(CjkFamilies().contains(info.family())) << e.name << ": " << info.family().toStdString();
      EXPECT_EQ(info.pixelSize(), 12) << e.name;
      EXPECT_EQ(info.weight(), QFont::Normal) << e.name;
      break;
    case Face::WindowBold:
      EXPECT_TRUE(CjkFamilies().contains(info.family())) << e.name << ": " << info.family().toStdString();
      EXPECT_EQ(info.pixelSize(), 12) << e.name;
      EXPECT_EQ(widget->font().weight(), QFont::Bold) << e.name;
      break;
    case Face::Latin:
    case Face::LatinBold:
      EXPECT_TRUE(LatinFamilies().contains(info.family())) << e.name << ": " << info.family().toStdString();
      EXPECT_EQ(info.pixelSize(), 11) << e.name;
      EXPECT_EQ(widget->font().weight(), e.face == Face::LatinBold ? QFont::Bold : QFont::Normal)
          << e.name;
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(AllControls, ControlTest, ::testing::ValuesIn(kControls),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowLayoutTest, HoldsExactlyTheTwentyThreeControls) {
  auto window = MakeWindow();
  std::set<QString> named;
  for (QObject* o : window->findChildren<QObject*>()) {
    if (dynamic_cast<QWidget*>(o) == nullptr && dynamic_cast<Timer*>(o) == nullptr) continue;
    if (o->objectName().isEmpty() || o->objectName().startsWith(QLatin1String("qt_"))) continue;
    // The list's own popup parts are Qt's, not the window's.
    if (o->parent() == window->cboConnectionType) continue;
    named.insert(o->objectName());
  }
  std::set<QString> expected;
  for (const Expected& e : kControls) expected.insert(QString::fromLatin1(e.name));
  EXPECT_EQ(named, expected);
  EXPECT_EQ(expected.size(), 23u);
}

TEST(WindowLayoutTest, WindowPropertiesAreTheLayouts) {
  auto window = MakeWindow();
  EXPECT_EQ(window->objectName(), QStringLiteral("frmBandwidth"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvendel"));
  EXPECT_EQ(window->size(), QSize(382, 439));
  EXPECT_EQ(window->palette().color(QPalette::Window), kFace);
  EXPECT_TRUE(window->autoFillBackground());
  EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window->layout() == nullptr) << "controls are placed, not laid out";
  const QFontInfo info(window->font());
  EXPECT_TRUE(CjkFamilies().contains(info.family())) << info.family().toStdString();
  EXPECT_EQ(info.pixelSize(), 12);
  // The families this machine resolved, for the test report.
  RecordProperty("window_font", info.family().toStdString());
  RecordProperty("credit_font", QFontInfo(window->Label7->font()).family().toStdString());
  RecordProperty("latin_font", QFontInfo(window->lblRecv->font()).family().toStdString());
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_EQ(window->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
  // The member pointers are the named controls.
  EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("lblRecv")), window->lblRecv);
  EXPECT_EQ(window->findChild<QTimer*>(QStringLiteral("tmrUpdate")), window->tmrUpdate);
}

TEST(WindowLayoutTest, TimersHaveTheirPeriodsAndRunOnlyWhenAsked) {
  {
    auto still = MakeWindow(false);
    EXPECT_EQ(still->tmrUpdate->interval(), 100);
    EXPECT_EQ(still->Timer1->interval(), 2000);
    EXPECT_FALSE(still->tmrUpdate->Enabled());
    EXPECT_FALSE(still->Timer1->Enabled());
  }
  auto running = MakeWindow(true);
  EXPECT_TRUE(running->tmrUpdate->Enabled());
  EXPECT_TRUE(running->Timer1->Enabled());
  EXPECT_FALSE(running->tmrUpdate->isSingleShot());
}

TEST(WindowLayoutTest, ValueBoxesAlignRightInsideASingleBorder) {
  auto window = MakeWindow();
  for (Label* box : {window->lblRecv, window->lblSent, window->lblDSpeed, window->lblUSpeed}) {
    EXPECT_TRUE(box->alignment() & Qt::AlignRight) << box->objectName().toStdString();
    EXPECT_EQ(box->frameShape(), QFrame::Box) << box->objectName().toStdString();
    EXPECT_EQ(box->frameWidth(), 1) << box->objectName().toStdString();
    EXPECT_FALSE(box->AutoSize());
  }
  EXPECT_EQ(window->Label2->frameShape(), QFrame::NoFrame);
  EXPECT_FALSE(window->cboConnectionType->isEditable());
  EXPECT_EQ(window->cboConnectionType->ListCount(), 0);
  EXPECT_EQ(window->cboConnectionType->palette().color(QPalette::Base), kWhite);
  EXPECT_EQ(window->cboConnectionType->palette().color(QPalette::Text), kBlack);
  EXPECT_EQ(window->PIC1->BackColor(), Rgb(240, 240, 240));
}

struct Growth {
  Label* frmBandwidth::*label;
  const char* name;
};

class AutoSizeTest : public ::testing::TestWithParam<Growth> {};

TEST_P(AutoSizeTest, GrowsToTheRightFromItsTopLeftOnLongerText) {
  auto window = MakeWindow();
  Label* label = (*window).*(GetParam().label);
  EXPECT_TRUE(label->AutoSize());
  const QRect before = label->geometry();
  const QString longer = label->Caption() + QStringLiteral("1,234.56 Kb/S");
  label->Caption(longer);
  const QRect after = label->geometry();
  EXPECT_EQ(after.topLeft(), before.topLeft()) << GetParam().name;
  EXPECT_GT(after.width(), before.width()) << GetParam().name;
  EXPECT_EQ(after.width(), QFontMetrics(label->font()).horizontalAdvance(longer)) << GetParam().name;
  EXPECT_EQ(after.height(), QFontMetrics(label->font()).height()) << GetParam().name;
  // Still transparent: only its text is painted over the frame.
  EXPECT_FALSE(label->autoFillBackground());
}

INSTANTIATE_TEST_SUITE_P(
    PeakAndAverage, AutoSizeTest,
    ::testing::Values(Growth{&frmBandwidth::lblDownloadSpeedTop, "lblDownloadSpeedTop"},
                      Growth{&frmBandwidth::lblUploadSpeedTop, "lblUploadSpeedTop"},
                      Growth{&frmBandwidth::lblDownloadSpeedAverage, "lblDownloadSpeedAverage"},
                      Growth{&frmBandwidth::lblUploadSpeedAverage, "lblUploadSpeedAverage"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowLayoutTest, OtherLabelsKeepTheirBoxWhenTheTextChanges) {
  auto window = MakeWindow();
  for (Label* label : {window->lblRecv, window->lblType, window->Label1, window->Label5}) {
    const QRect before = label->geometry();
    label->Caption(QStringLiteral("a text much longer than the box it has been given"));
    EXPECT_EQ(label->geometry(), before) << label->objectName().toStdString();
  }
}

TEST(WindowLayoutTest, EarlierControlsLieAboveLaterOnes) {
  auto window = MakeWindow();
  // The banner box covers the top rows of the graph box, which covers the
  // top rows of the upper frame.
  EXPECT_EQ(window->childAt(200, 75), window->Picture1);
  EXPECT_EQ(window->childAt(200, 186), window->PIC1);
  EXPECT_EQ(window->childAt(200, 100), window->PIC1);
  EXPECT_EQ(window->childAt(200, 250), window->Frame2);
  // Label4 and Label5 share a row of pixels; Label4 is listed first.
  EXPECT_EQ(window->Frame3->childAt(10, 88), window->Label4);
  EXPECT_EQ(window->Frame3->childAt(10, 95), window->Label5);
}

TEST(WindowLayoutTest, TheListIsTheFirstControlToTakeTheFocus) {
  auto window = MakeWindow();
  window->show();
  window->activateWindow();
  QApplication::processEvents();
  EXPECT_EQ(window->focusWidget(), window->cboConnectionType);
  // The focus chain visits the focusable controls by tab index.
  std::vector<QWidget*> chain;
  QWidget* w = window->cboConnectionType;
  do {
    if (w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(window.get())) chain.push_back(w);
    w = w->nextInFocusChain();
  } while (w != window->cboConnectionType && chain.size() < 50);
  std::vector<QWidget*> expected = {window->cboConnectionType, window->PIC1, window->Picture1};
  EXPECT_EQ(chain, expected);
  for (QWidget* label : std::initializer_list<QWidget*>{window->Label1, window->lblRecv,
                                                        window->Frame2, window->Frame3}) {
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << label->objectName().toStdString();
  }
}

TEST(WindowLayoutTest, ResizingTheWindowMovesNothing) {
  auto window = MakeWindow();
  QMap<QString, QRect> before;
  for (QWidget* w : window->findChildren<QWidget*>()) before[w->objectName()] = w->geometry();
  window->show();
  for (QSize size : {QSize(200, 150), QSize(900, 700)}) {
    window->resize(size);
    QApplication::processEvents();
    for (QWidget* w : window->findChildren<QWidget*>()) {
      if (w->objectName().isEmpty() || w->parent() == window->cboConnectionType) continue;
      EXPECT_EQ(w->geometry(), before[w->objectName()]) << w->objectName().toStdString();
    }
  }
}

TEST(ArtTest, BannerIsA256ColourImageWithOneTransparentColour) {
  auto window = MakeWindow();
  const QImage banner(QStringLiteral(":/orvendel/banner.png"));
  ASSERT_FALSE(banner.isNull());
  EXPECT_EQ(banner.size(), QSize(259, 76));
  EXPECT_EQ(banner.format(), QImage::Format_Indexed8);
  EXPECT_LE(banner.colorCount(), 256);
  int transparent = 0;
  int clearIndex = -1;
  for (int i = 0; i < banner.colorCount(); ++i) {
    if (qAlpha(banner.color(i)) == 0) {
      ++transparent;
      clearIndex = i;
    } else {
      EXPECT_EQ(qAlpha(banner.color(i)), 255) << "entry " << i << " half transparent";
    }
  }
  EXPECT_EQ(transparent, 1);
  EXPECT_EQ(banner.pixelIndex(0, 0), clearIndex) << "the rounded corner shows the box";
  EXPECT_NE(banner.pixelIndex(130, 38), clearIndex);
  ASSERT_FALSE(window->Picture1->pixmap().isNull());
  EXPECT_EQ(window->Picture1->pixmap().size(), QSize(259, 76));

  const QImage icon(QStringLiteral(":/orvendel/icon.png"));
  EXPECT_EQ(icon.size(), QSize(32, 32));
  EXPECT_EQ(icon.format(), QImage::Format_Indexed8);
  EXPECT_LE(icon.colorCount(), 256);
}

}  // namespace
}  // namespace orv
