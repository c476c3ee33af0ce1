#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/error.h"
#include "toolkit/qt/runtime.h"

namespace orv::qt {
namespace {

// Points the per-user store at a fresh folder for the test's lifetime.
class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
  }
  void Store(const QString& app, const QString& key, const QVariant& value) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, app, app);
    s.setValue(key, value);
    s.sync();
    ASSERT_EQ(s.status(), QSettings::NoError);
  }
  QTemporaryDir dir;
};

TEST_F(SettingsTest, ReadsTheStoredTextFromTheApplicationsIniFile) {
  Store(QStringLiteral("OrvTestApp"), QStringLiteral("Setting/Connection"), QStringLiteral("2"));
  // The store is one INI file per application, in a folder of its name.
  QFile file(dir.filePath(QStringLiteral("OrvTestApp/OrvTestApp.conf")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
  const QByteArray ini = file.readAll();
  EXPECT_TRUE(ini.contains("[Setting]")) << ini.constData();
  EXPECT_TRUE(ini.contains("Connection=2")) << ini.constData();

  EXPECT_EQ(GetSetting(u"OrvTestApp", u"Setting", u"Connection", u"0"), u"2");
}

TEST_F(SettingsTest, MissingSettingGivesTheDefault) {
  Store(QStringLiteral("OrvTestApp"), QStringLiteral("Setting/Other"), QStringLiteral("5"));
  struct {
    const char16_t* app;
    const char16_t* section;
    const char16_t* key;
  } const cases[] = {
      {u"OrvTestApp", u"Setting", u"Connection"},  // key missing
      {u"OrvTestApp", u"Elsewhere", u"Other"},     // section missing
      {u"NoSuchApp", u"Setting", u"Other"},        // no file at all
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetSetting(c.app, c.section, c.key, u"0"), u"0")
        << QString::fromStdU16String(c.app).toStdString() << "/"
        << QString::fromStdU16String(c.section).toStdString() << "/"
        << QString::fromStdU16String(c.key).toStdString();
  }
}

TEST_F(SettingsTest, HandWrittenValuesComeBackAsWritten) {
  QDir(dir.path()).mkpath(QStringLiteral("OrvTestApp"));
  QFile file(dir.filePath(QStringLiteral("OrvTestApp/OrvTestApp.conf")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[Setting]\nConnection=1,5\nBlank=\nWord=eth0\n");
  file.close();
  const auto read = [](std::u16string_view key) {
    return GetSetting(u"OrvTestApp", u"Setting", key, u"0");
  };
  EXPECT_EQ(read(u"Connection"), u"1,5") << "split at the comma";
  EXPECT_EQ(read(u"Blank"), u"") << "an empty stored value is not missing";
  EXPECT_EQ(read(u"Word"), u"eth0");
}

TEST(DoEventsTest, DeliversPendingEvents) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  DoEvents();
  EXPECT_TRUE(ran);
}

TEST(ToNumberLocaleTest, TakesTheLocalesSeparators) {
  struct {
    QLocale locale;
    std::u16string decimal, group, date;
  } const cases[] = {
      {QLocale(QLocale::English, QLocale::UnitedStates), u".", u",", u"/"},
      {QLocale(QLocale::German, QLocale::Germany), u",", u".", u"."},
      {QLocale(QLocale::Japanese, QLocale::Japan), u".", u",", u"/"},
      {QLocale(QLocale::Dutch, QLocale::Netherlands), u",", u".", u"-"},
      {QLocale::c(), u".", u",", u"/"},
  };
  for (const auto& c : cases) {
    const NumberLocale n = ToNumberLocale(c.locale);
    EXPECT_EQ(n.decimal, c.decimal) << c.locale.name().toStdString();
    EXPECT_EQ(n.group, c.group) << c.locale.name().toStdString();
    EXPECT_EQ(n.date, c.date) << c.locale.name().toStdString();
  }
}

TEST(ReportDeathTest, NamesTheCodeAndEndsWithFailure) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ReportUntrappedError(Error(ErrorCode::Overflow, "overflow")),
              ::testing::ExitedWithCode(1), "Run-time error 6: overflow");
  EXPECT_EXIT(ReportUntrappedError(std::logic_error("broken")), ::testing::ExitedWithCode(1),
              "Run-time error: broken");
}

}  // namespace
}  // namespace orv::qt
