#include <gtest/gtest.h>

#include <QAccessible>
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
#include "toolkit/qt/art.h"

namespace orv {
namespace {

using orv::test::CjkFamilies;
using orv::test::LatinFamilies;
using orv::test::MakeWindow;

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
    {"lblDownloadSpeedTop",
     Kind::Label,
     "Frame2",
     {3, 10, 54, 12},
     "下载速率:",
     kBlack,
     {},
     Face::Window},
    {"lblUploadSpeedTop",
     Kind::Label,
     "Frame2",
     {5, 27, 54, 12},
     "上载速率:",
     kBlack,
     {},
     Face::Window},
    {"lblDownloadSpeedAverage",
     Kind::Label,
     "Frame2",
     {4, 43, 78, 12},
     "平均下载速率:",
     kBlack,
     {},
     Face::Window},
    {"lblUploadSpeedAverage",
     Kind::Label,
     "Frame2",
     {4, 59, 78, 12},
     "平均上载速率:",
     kBlack,
     {},
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
  static test::QtWindow* window;
};
test::QtWindow* ControlTest::window = nullptr;

bool IsKind(QObject* o, Kind kind) {
  switch (kind) {
    case Kind::Banner:
      return qobject_cast<QLabel*>(o) != nullptr && dynamic_cast<qt::QtLabel*>(o) == nullptr;
    case Kind::Label:
      return dynamic_cast<qt::QtLabel*>(o) != nullptr;
    case Kind::Picture:
      return dynamic_cast<qt::QtPictureBox*>(o) != nullptr;
    case Kind::Frame:
      return o->metaObject() == &QFrame::staticMetaObject;
    case Kind::List:
      return dynamic_cast<qt::QtDropDownList*>(o) != nullptr;
    case Kind::Timer:
      return dynamic_cast<qt::QtTimer*>(o) != nullptr;
  }
  return false;
}

TEST_P(ControlTest, IsBuiltAsLaidOut) {
  const Expected& e = GetParam();
  const QString name = QString::fromLatin1(e.name);
  const auto found = window->widget->findChildren<QObject*>(name);
  ASSERT_EQ(found.size(), 1) << "controls named " << e.name;
  QObject* object = found.front();
  EXPECT_TRUE(IsKind(object, e.kind)) << e.name << " is a " << object->metaObject()->className();
  ASSERT_NE(object->parent(), nullptr);
  EXPECT_EQ(object->parent()->objectName(), QString::fromLatin1(e.parent)) << e.name;

  if (e.kind == Kind::Timer) return;  // no geometry, text or font
  auto* widget = qobject_cast<QWidget*>(object);
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->geometry(), e.geometry) << e.name;
  EXPECT_TRUE(widget->isVisibleTo(window->widget)) << e.name;

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
      EXPECT_TRUE(CjkFamilies().contains(info.family()))
          << e.name << ": " << info.family().toStdString();
      EXPECT_EQ(info.pixelSize(), 12) << e.name;
      EXPECT_EQ(info.weight(), QFont::Normal) << e.name;
      break;
    case Face::WindowBold:
      EXPECT_TRUE(CjkFamilies().contains(info.family()))
          << e.name << ": " << info.family().toStdString();
      EXPECT_EQ(info.pixelSize(), 12) << e.name;
      EXPECT_EQ(widget->font().weight(), QFont::Bold) << e.name;
      break;
    case Face::Latin:
    case Face::LatinBold:
      EXPECT_TRUE(LatinFamilies().contains(info.family()))
          << e.name << ": " << info.family().toStdString();
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
  for (QObject* o : window->widget->findChildren<QObject*>()) {
    if (dynamic_cast<QWidget*>(o) == nullptr && dynamic_cast<qt::QtTimer*>(o) == nullptr) continue;
    if (o->objectName().isEmpty() || o->objectName().startsWith(QLatin1String("qt_"))) continue;
    // The list's own popup parts are Qt's, not the window's.
    if (o->parent() == window->List()) continue;
    named.insert(o->objectName());
  }
  std::set<QString> expected;
  for (const Expected& e : kControls) expected.insert(QString::fromLatin1(e.name));
  EXPECT_EQ(named, expected);
  EXPECT_EQ(expected.size(), 23u);
}

TEST(WindowLayoutTest, WindowPropertiesAreTheLayouts) {
  auto window = MakeWindow();
  EXPECT_EQ(window->widget->objectName(), QStringLiteral("frmBandwidth"));
  EXPECT_EQ(window->widget->windowTitle(), QStringLiteral("Orvendel"));
  EXPECT_EQ(window->widget->size(), QSize(382, 439));
  EXPECT_EQ(window->widget->palette().color(QPalette::Window), kFace);
  EXPECT_TRUE(window->widget->autoFillBackground());
  EXPECT_TRUE(window->widget->windowFlags() & Qt::WindowMinimizeButtonHint);
  // Fixed: a window manager offers no resize and no maximise when the
  // minimum is the maximum.
  EXPECT_EQ(window->widget->minimumSize(), QSize(382, 439));
  EXPECT_EQ(window->widget->maximumSize(), QSize(382, 439));
  EXPECT_FALSE(window->widget->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window->widget->layout() == nullptr) << "controls are placed, not laid out";
  const QFontInfo info(window->widget->font());
  EXPECT_TRUE(CjkFamilies().contains(info.family())) << info.family().toStdString();
  EXPECT_EQ(info.pixelSize(), 12);
  // The families this machine resolved, for the test report.
  RecordProperty("window_font", info.family().toStdString());
  RecordProperty("credit_font", QFontInfo(window->L("Label7")->font()).family().toStdString());
  RecordProperty("latin_font", QFontInfo(window->L("lblRecv")->font()).family().toStdString());
  EXPECT_FALSE(window->widget->windowIcon().isNull());
  EXPECT_EQ(window->widget->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
  // The window binds the named controls.
  EXPECT_EQ(window->widget->findChild<QWidget*>(QStringLiteral("lblRecv")),
            static_cast<QWidget*>(window->L("lblRecv")));
  EXPECT_EQ(window->logic->lblRecv, static_cast<Label*>(window->L("lblRecv")));
  EXPECT_EQ(window->logic->tmrUpdate, static_cast<Timer*>(window->T("tmrUpdate")));
}

TEST(WindowLayoutTest, TimersHaveTheirPeriodsAndRunOnlyWhenAsked) {
  {
    auto still = MakeWindow(false);
    EXPECT_EQ(still->T("tmrUpdate")->interval(), 100);
    EXPECT_EQ(still->T("Timer1")->interval(), 2000);
    EXPECT_FALSE(still->T("tmrUpdate")->Enabled());
    EXPECT_FALSE(still->T("Timer1")->Enabled());
  }
  auto running = MakeWindow(true);
  EXPECT_TRUE(running->T("tmrUpdate")->Enabled());
  EXPECT_TRUE(running->T("Timer1")->Enabled());
  EXPECT_FALSE(running->T("tmrUpdate")->isSingleShot());
}

TEST(WindowLayoutTest, ValueBoxesAlignRightInsideASingleBorder) {
  auto window = MakeWindow();
  for (qt::QtLabel* box : {window->L("lblRecv"), window->L("lblSent"), window->L("lblDSpeed"),
                           window->L("lblUSpeed")}) {
    EXPECT_TRUE(box->alignment() & Qt::AlignRight) << box->objectName().toStdString();
    EXPECT_EQ(box->frameShape(), QFrame::Box) << box->objectName().toStdString();
    EXPECT_EQ(box->frameWidth(), 1) << box->objectName().toStdString();
    EXPECT_FALSE(box->AutoSize());
  }
  EXPECT_EQ(window->L("Label2")->frameShape(), QFrame::NoFrame);
  EXPECT_FALSE(window->List()->isEditable());
  EXPECT_EQ(window->List()->ListCount(), 0);
  EXPECT_EQ(window->List()->palette().color(QPalette::Base), kWhite);
  EXPECT_EQ(window->List()->palette().color(QPalette::Text), kBlack);
  EXPECT_EQ(window->Graph()->BackColor(), Rgb(240, 240, 240));
}

struct Growth {
  const char* name;
};

class AutoSizeTest : public ::testing::TestWithParam<Growth> {};

TEST_P(AutoSizeTest, GrowsToTheRightFromItsTopLeftOnLongerText) {
  auto window = MakeWindow();
  qt::QtLabel* label = window->L(GetParam().name);
  EXPECT_TRUE(label->AutoSize());
  const QRect before = label->geometry();
  const QString longer = label->text() + QStringLiteral("1,234.56 Kb/S");
  label->Caption(longer.toStdU16String());
  const QRect after = label->geometry();
  EXPECT_EQ(after.topLeft(), before.topLeft()) << GetParam().name;
  EXPECT_GT(after.width(), before.width()) << GetParam().name;
  EXPECT_EQ(after.width(), QFontMetrics(label->font()).horizontalAdvance(longer))
      << GetParam().name;
  EXPECT_EQ(after.height(), QFontMetrics(label->font()).height()) << GetParam().name;
  // Still transparent: only its text is painted over the frame.
  EXPECT_FALSE(label->autoFillBackground());
}

INSTANTIATE_TEST_SUITE_P(PeakAndAverage, AutoSizeTest,
                         ::testing::Values(Growth{"lblDownloadSpeedTop"},
                                           Growth{"lblUploadSpeedTop"},
                                           Growth{"lblDownloadSpeedAverage"},
                                           Growth{"lblUploadSpeedAverage"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowLayoutTest, OtherLabelsKeepTheirBoxWhenTheTextChanges) {
  auto window = MakeWindow();
  for (qt::QtLabel* label :
       {window->L("lblRecv"), window->L("lblType"), window->L("Label1"), window->L("Label5")}) {
    const QRect before = label->geometry();
    label->Caption(u"a text much longer than the box it has been given");
    EXPECT_EQ(label->geometry(), before) << label->objectName().toStdString();
  }
}

TEST(WindowLayoutTest, EarlierControlsLieAboveLaterOnes) {
  auto window = MakeWindow();
  // The banner box covers the top rows of the graph box, which covers the
  // top rows of the upper frame.
  EXPECT_EQ(window->widget->childAt(200, 75), window->Banner());
  EXPECT_EQ(window->widget->childAt(200, 186), window->Graph());
  EXPECT_EQ(window->widget->childAt(200, 100), window->Graph());
  EXPECT_EQ(window->widget->childAt(200, 250), window->Frame("Frame2"));
  // Label4 and Label5 share a row of pixels; Label4 is listed first.
  EXPECT_EQ(window->Frame("Frame3")->childAt(10, 88), window->L("Label4"));
  EXPECT_EQ(window->Frame("Frame3")->childAt(10, 95), window->L("Label5"));
}

TEST(WindowLayoutTest, TheListIsTheFirstControlToTakeTheFocus) {
  auto window = MakeWindow();
  window->widget->show();
  window->widget->activateWindow();
  QApplication::processEvents();
  EXPECT_EQ(window->widget->focusWidget(), window->List());
  // The focus chain visits the focusable controls by tab index.
  std::vector<QWidget*> chain;
  QWidget* w = window->List();
  do {
    if (w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(window->widget)) chain.push_back(w);
    w = w->nextInFocusChain();
  } while (w != window->List() && chain.size() < 50);
  // Nothing else reacts to keys: the graph and the banner take no focus.
  std::vector<QWidget*> expected = {window->List()};
  EXPECT_EQ(chain, expected);
  for (QWidget* label : std::initializer_list<QWidget*>{
           window->L("Label1"), window->L("lblRecv"), window->Frame("Frame2"),
           window->Frame("Frame3"), window->Graph(), window->Banner()}) {
    EXPECT_EQ(label->focusPolicy(), Qt::NoFocus) << label->objectName().toStdString();
  }
}

// What a screen reader reads: a value box and the list by their caption,
// the graph by a name of its own, and each caption label as the label of
// its control; what a control shows is its text.
struct Spoken {
  const char* control;
  const char* name;
  const char* captionLabel;  // nullptr: none
  const char* shown;         // its text; nullptr: it has none
};

QString TextOf(QAccessibleInterface* a) {
  QAccessibleTextInterface* text = a->textInterface();
  return text == nullptr ? QString() : text->text(0, text->characterCount());
}

// Qt's AT-SPI bridge calls both of these roles "frame", the role of a
// top-level window; a screen reader takes a control inside one for a
// window of its own and ignores the focus in it.
void ExpectNoWindowRoleBelow(QAccessibleInterface* a, int depth = 0) {
  for (int i = 0; i < a->childCount(); ++i) {
    QAccessibleInterface* child = a->child(i);
    ASSERT_NE(child, nullptr);
    EXPECT_NE(child->role(), QAccessible::Window) << child->object()->objectName().toStdString();
    EXPECT_NE(child->role(), QAccessible::Border) << child->object()->objectName().toStdString();
    if (depth < 8) ExpectNoWindowRoleBelow(child, depth + 1);
  }
}

TEST(WindowLayoutTest, ScreenReadersNameEveryControlThatShowsData) {
  auto window = MakeWindow();
  window->widget->show();
  window->List()->AddItem(u"eth0 ");
  window->List()->ListIndex(std::int16_t{0});
  window->logic->lblRecv->Caption(u"1,024 KB");
  const Spoken spoken[] = {
      {"lblRecv", "接收字节:", "Label2", "1,024 KB"},
      {"lblSent", "发送字节:", "Label3", "Label1"},
      {"lblDSpeed", "下载速率:", "Label4", "Label6"},
      {"lblUSpeed", "上载速率:", "Label5", "Label7"},
      {"cboConnectionType", "连接类型 :", "Label1", "eth0 "},
      {"lblDownloadSpeedTop", "下载速率:", nullptr, "下载速率:"},
      {"PIC1", "平均下载速率曲线", nullptr, nullptr},
  };
  for (const Spoken& s : spoken) {
    QWidget* w = window->Get<QWidget>(s.control);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(a, nullptr) << s.control;
    EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(s.name)) << s.control;
    EXPECT_EQ(TextOf(a), s.shown == nullptr ? QString() : QString::fromUtf8(s.shown)) << s.control;
    // The number is read once: as the text, not again as a description.
    if (s.shown != nullptr) {
      EXPECT_TRUE(a->text(QAccessible::Description).isEmpty()) << s.control;
    }
    if (s.captionLabel == nullptr) continue;
    bool labelled = false;
    for (const auto& [other, relation] : a->relations(QAccessible::Label)) {
      labelled = labelled || other->object() == window->L(s.captionLabel);
    }
    EXPECT_TRUE(labelled) << s.control << " is not labelled by " << s.captionLabel;
  }
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(window->List());
  EXPECT_EQ(list->role(), QAccessible::ComboBox);
  EXPECT_EQ(list->text(QAccessible::Value), QStringLiteral("eth0 "));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(window->Graph())->role(), QAccessible::Graphic);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(window->Frame("Frame2"))->role(),
            QAccessible::Grouping);
  ExpectNoWindowRoleBelow(QAccessible::queryAccessibleInterface(window->widget));
}

// Orca speaks a closed list's new entry when it arrives as inserted text
// that is selected: the focused list's whole entry is its selection (the
// package test listens for the event itself, which Qt sends only while a
// reader is listening, and so does Tab).
TEST(WindowLayoutTest, TheFocusedListsEntryIsItsSelectedText) {
  auto window = MakeWindow();
  window->widget->show();
  window->widget->activateWindow();
  for (const char16_t* entry : {u"lo ", u"eth0 ", u"eth1 "}) window->List()->AddItem(entry);
  window->List()->ListIndex(std::int16_t{0});
  window->List()->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
  window->List()->ListIndex(std::int16_t{2});
  QAccessibleTextInterface* text =
      QAccessible::queryAccessibleInterface(window->List())->textInterface();
  ASSERT_NE(text, nullptr);
  ASSERT_TRUE(window->List()->hasFocus());
  ASSERT_EQ(text->selectionCount(), 1);
  int start = -1;
  int end = -1;
  text->selection(0, &start, &end);
  EXPECT_EQ(text->text(start, end), QStringLiteral("eth1 "));

  window->List()->clearFocus();
  EXPECT_EQ(text->selectionCount(), 0);
}

TEST(WindowLayoutTest, TheFocusedListShowsAFocusCue) {
  auto window = MakeWindow();
  window->widget->show();
  QApplication::processEvents();
  window->List()->clearFocus();
  QApplication::processEvents();
  const QImage unfocused = window->List()->grab().toImage();
  window->widget->activateWindow();
  window->List()->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  ASSERT_TRUE(window->List()->hasFocus());
  EXPECT_NE(window->List()->grab().toImage(), unfocused) << "focus changes nothing on screen";
}

TEST(WindowLayoutTest, ResizingTheWindowMovesNothing) {
  auto window = MakeWindow();
  QMap<QString, QRect> before;
  for (QWidget* w : window->widget->findChildren<QWidget*>())
    before[w->objectName()] = w->geometry();
  window->widget->show();
  for (QSize size : {QSize(200, 150), QSize(900, 700)}) {
    window->widget->resize(size);
    QApplication::processEvents();
    for (QWidget* w : window->widget->findChildren<QWidget*>()) {
      if (w->objectName().isEmpty() || w->parent() == window->List()) continue;
      EXPECT_EQ(w->geometry(), before[w->objectName()]) << w->objectName().toStdString();
    }
  }
}

TEST(ArtTest, BannerIsA256ColourImageWithOneTransparentColour) {
  auto window = MakeWindow();
  const QImage banner(QStringLiteral(":/art/banner.png"));
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
  ASSERT_FALSE(window->Banner()->pixmap().isNull());
  EXPECT_EQ(window->Banner()->pixmap().size(), QSize(259, 76));

  const QImage icon(QStringLiteral(":/art/icon.png"));
  EXPECT_EQ(icon.size(), QSize(32, 32));
  EXPECT_EQ(icon.format(), QImage::Format_Indexed8);
  EXPECT_LE(icon.colorCount(), 256);
}

// On a screen of twice the density the banner is its sharp drawing, shown
// at the same size; the window icon offers every size the theme has.
TEST(ArtTest, HighDensityScreensGetTheSharpBannerAndEveryIconSize) {
  auto window = MakeWindow();  // registers the art
  const QPixmap plain = qt::LoadPicture("banner", 1.0);
  const QPixmap sharp = qt::LoadPicture("banner", 2.0);
  EXPECT_EQ(plain.size(), QSize(259, 76));
  EXPECT_EQ(sharp.size(), QSize(518, 152));
  EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
  EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(259, 76));

  const QIcon icon = window->widget->windowIcon();
  const QList<QSize> sizes = icon.availableSizes();
  for (int n : {16, 24, 32, 48, 64, 128, 256}) {
    EXPECT_TRUE(sizes.contains(QSize(n, n))) << "no " << n << " px icon";
  }
  // A size drawn is that drawing; one between is the next larger, reduced.
  const QImage at48 = icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(at48,
            QImage(QStringLiteral(":/art/icon-48.png")).convertToFormat(QImage::Format_ARGB32));
  EXPECT_EQ(icon.pixmap(40, 40).size(), QSize(40, 40));
  EXPECT_EQ(icon.pixmap(512, 512).size(), QSize(256, 256)) << "never enlarged past the largest";
}

}  // namespace
}  // namespace orv
