// Stored list choices that are damaged, hostile or simply odd: the window
// opens as the program opens it, the first tick runs, and the selection is
// the stored entry, the first entry, or none. Both through a setting
// reader the test scripts and through a real INI file in a settings store
// the test makes.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <cctype>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/qt/app.h"
#include "monitor/connection_list.h"
#include "monitor/frm_bandwidth.h"
#include "tests/monitor/scripted_reader.h"
#include "toolkit/qt/runtime.h"
#include "toolkit/qt/text.h"

namespace orv {
namespace {

using test::Interfaces;
using test::ScriptedReader;

const QString kApp = qt::ToQString(kSettingApplication);
const QString kSection = qt::ToQString(kSettingSection);
const QString kKey = qt::ToQString(kSettingKey);

QString Caption(const Label* label) { return qt::ToQString(label->Caption()); }

// One megabyte of the same character.
QString Mega(char c) { return QString(1 << 20, QLatin1Char(c)); }

QString WithNul(const char* before, const char* after) {
  return QString::fromLatin1(before) + QChar(u'\0') + QString::fromLatin1(after);
}

struct BadSetting {
  const char* name;
  QString stored;
  // The position selected in a list of five entries, and of six (the
  // list after a tick that finds one more interface).
  int selected;
};

void PrintTo(const BadSetting& c, std::ostream* os) { *os << c.name; }

// Five and six entries both hold every position named here, so a case
// selects the same entry before and after the list is rebuilt.
const BadSetting kCases[] = {
    {"empty", QString(), 0},
    {"huge", QStringLiteral("1e308"), 0},
    {"past a double", QStringLiteral("1e309"), 0},
    {"negative", QStringLiteral("-5"), 0},
    {"huge negative", QStringLiteral("-1e308"), 0},
    {"minus one is no selection", QStringLiteral("-1"), -1},
    {"non-numeric", QStringLiteral("eth0"), 0},
    {"not a number", QStringLiteral("nan"), 0},
    {"infinity", QStringLiteral("inf"), 0},
    {"NUL after a number", WithNul("3", "9"), 3},
    {"NUL before a number", WithNul("", "3"), 0},
    {"NUL inside a number", WithNul("1", "0"), 1},
    {"1 MB of letters", Mega('x'), 0},
    {"1 MB of digits", Mega('7'), 0},
    {"1 MB of zeros, then a number", Mega('0') + QStringLiteral("3"), 3},
    {"1 MB of blanks, then a number", Mega(' ') + QStringLiteral("3"), 3},
    {"a number, then 1 MB of letters", QStringLiteral("2") + Mega('x'), 2},
    {"a tiny number 1 MB long", QStringLiteral("0.") + Mega('0') + QStringLiteral("1"), 0},
    {"only blanks", QStringLiteral("   "), 0},
    {"blanks of every kind", QStringLiteral(" \t\r\n "), 0},
    {"an exponent without digits", QStringLiteral("1.5e"), 2},
    {"a signed exponent without digits", QStringLiteral("2.5e-"), 2},
    {"a lone plus", QStringLiteral("+"), 0},
    {"a lone minus", QStringLiteral("-"), 0},
    {"two minus signs", QStringLiteral("--1"), 0},
    {"an explicit plus", QStringLiteral("+3"), 3},
    {"a lone point", QStringLiteral("."), 0},
    {"an exponent past any double", QStringLiteral("1e99999999999999999999"), 0},
    {"an exponent far below", QStringLiteral("4e-99999999999999999999"), 0},
};

// The window over a scripted table of five interfaces; settings come
// from `getSetting`. OpenMonitor is the program's own start: an error
// escaping the load handler would end this test program.
class BadSettingTest : public ::testing::TestWithParam<BadSetting> {
 protected:
  void OpenWith(GetSettingFn getSetting) {
    reader->Set(Interfaces(5));
    MonitorServices s;
    s.makeReader = [r = reader]() -> std::shared_ptr<InterfaceReader> { return r; };
    s.getSetting = std::move(getSetting);
    s.doEvents = &qt::DoEvents;
    s.startTimers = false;
    window = OpenMonitor(std::move(s));
    ASSERT_TRUE(window);
  }

  // Start-up, the first tick, and a tick that rebuilds the list with one
  // more entry (and so restores the stored choice a second time).
  void ExpectSelected(int selected) {
    EXPECT_EQ(window->cboConnectionType->ListCount(), 5);
    EXPECT_EQ(window->cboConnectionType->ListIndex(), selected) << "at start-up";

    reader->Set(Interfaces(5, 5 * 1024, 2 * 1024));
    const int before = reader->reads;
    window->tmrUpdate_Timer();
    EXPECT_GT(reader->reads, before) << "the first tick read the table";
    EXPECT_EQ(Caption(window->lblRecv), QStringLiteral("5 KB"));
    EXPECT_EQ(Caption(window->lblSent), QStringLiteral("2 KB"));
    if (selected >= 0) {
      EXPECT_EQ(Caption(window->lblType), QStringLiteral("if%1 ").arg(selected));
    } else {
      EXPECT_EQ(Caption(window->lblType), QStringLiteral("TokenRing ")) << "nothing chosen";
    }
    EXPECT_TRUE(window->tmrUpdate->Enabled()) << "the tick ran to its end";

    reader->Set(Interfaces(6, 6 * 1024, 3 * 1024));
    window->tmrUpdate_Timer();
    EXPECT_EQ(window->cboConnectionType->ListCount(), 6);
    EXPECT_EQ(window->cboConnectionType->ListIndex(), selected) << "after the rebuild";
    window->tmrUpdate->Enabled(false);
  }

  std::shared_ptr<ScriptedReader> reader = std::make_shared<ScriptedReader>();
  std::unique_ptr<frmBandwidth> window;
};

TEST_P(BadSettingTest, ThroughTheSettingReader) {
  const BadSetting& c = GetParam();
  int reads = 0;
  OpenWith([&](std::u16string_view, std::u16string_view, std::u16string_view, std::u16string_view) {
    ++reads;
    return c.stored.toStdU16String();
  });
  EXPECT_EQ(reads, 1);
  ExpectSelected(c.selected);
  EXPECT_EQ(reads, 2) << "read again when the list was rebuilt";
}

// The same texts stored in the program's own INI file, in a store of the
// test's own, and read back by the production setting reader.
TEST_P(BadSettingTest, ThroughTheIniFile) {
  const BadSetting& c = GetParam();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
  {
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, kApp, kApp);
    store.setValue(kSection + QLatin1Char('/') + kKey, c.stored);
    store.sync();
    ASSERT_EQ(store.status(), QSettings::NoError);
  }
  ASSERT_TRUE(
      QFile::exists(dir.filePath(kApp + QLatin1Char('/') + kApp + QStringLiteral(".conf"))));
  // What the window is about to read is the text itself, NUL and all.
  const QString readBack = qt::ToQString(
      qt::GetSetting(kSettingApplication, kSettingSection, kSettingKey, kSettingDefault));
  ASSERT_EQ(readBack.size(), c.stored.size());
  ASSERT_TRUE(readBack == c.stored);

  OpenWith(&qt::GetSetting);
  ExpectSelected(c.selected);
}

INSTANTIATE_TEST_SUITE_P(Stored, BadSettingTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BadSetting>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p != '\0'; ++p) {
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           }
                           return name;
                         });

// INI files written by hand or damaged on disk: whatever the store makes
// of them, the window opens, ticks, and selects a position the list has.
struct IniFile {
  const char* name;
  QByteArray bytes;
  int selected;
};

void PrintTo(const IniFile& c, std::ostream* os) { *os << c.name; }

// A literal with its NUL bytes, less the terminating one.
template <int N>
QByteArray Bytes(const char (&text)[N]) {
  return QByteArray(text, N - 1);
}

const IniFile kFiles[] = {
    {"no value after the sign", "[Setting]\nConnection=\n", 0},
    {"a quoted number", "[Setting]\nConnection=\"3\"\n", 3},
    {"an unterminated quote", "[Setting]\nConnection=\"3\n", 3},
    {"a list of numbers", "[Setting]\nConnection=2, 4\n", 2},
    {"a raw NUL after the number",
     Bytes("[Setting]\nConnection=3\0"
           "9\n"),
     3},
    {"an escaped NUL before the number",
     "[Setting]\nConnection=\\0"
     "3\n",
     0},
    {"a raw NUL in the section name", Bytes("[Set\0ting]\nConnection=3\n"), 0},
    {"no section", "Connection=3\n", 0},
    {"no equals sign", "[Setting]\nConnection 3\n", 0},
    {"the key twice", "[Setting]\nConnection=1\nConnection=3\n", 3},
    {"binary garbage", Bytes("\xff\xfe\x00\x01[\x80\x81=\x00\n\n=\n["), 0},
    {"1 MB on one line", "[Setting]\nConnection=" + QByteArray(1 << 20, '9') + "\n", 0},
    {"1 MB of blank lines first", QByteArray(1 << 20, '\n') + "[Setting]\nConnection=2\n", 2},
};

class DamagedIniTest : public ::testing::TestWithParam<IniFile> {};

TEST_P(DamagedIniTest, OpensTicksAndSelectsAnEntryOrNone) {
  const IniFile& c = GetParam();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
  ASSERT_TRUE(QDir(dir.path()).mkpath(kApp));
  QFile file(dir.filePath(kApp + QLatin1Char('/') + kApp + QStringLiteral(".conf")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(c.bytes), c.bytes.size());
  file.close();

  auto reader = std::make_shared<ScriptedReader>();
  reader->Set(Interfaces(5));
  MonitorServices s;
  s.makeReader = [reader]() -> std::shared_ptr<InterfaceReader> { return reader; };
  s.getSetting = &qt::GetSetting;
  s.doEvents = &qt::DoEvents;
  s.startTimers = false;
  const std::unique_ptr<frmBandwidth> window = OpenMonitor(std::move(s));
  EXPECT_EQ(window->cboConnectionType->ListIndex(), c.selected);
  reader->Set(Interfaces(5, 1024, 1024));
  window->tmrUpdate_Timer();
  EXPECT_EQ(Caption(window->lblRecv), QStringLiteral("1 KB"));
  EXPECT_EQ(window->cboConnectionType->ListIndex(), c.selected);
  window->tmrUpdate->Enabled(false);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedIniTest, ::testing::ValuesIn(kFiles),
                         [](const ::testing::TestParamInfo<IniFile>& info) {
                           std::string name;
                           for (const char* p = info.param.name; *p != '\0'; ++p) {
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           }
                           return name;
                         });

}  // namespace
}  // namespace orv
