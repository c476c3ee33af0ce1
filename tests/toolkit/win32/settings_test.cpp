// The settings store: the registry value's types as the stored choice
// comes back as text.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "toolkit/win32/runtime.h"

namespace orv::win32 {
namespace {

constexpr wchar_t kRoot[] = L"Software\\OrvendelSettingsTest";
constexpr wchar_t kSection[] = L"Software\\OrvendelSettingsTest\\OrvendelSettingsTest\\Setting";

class Win32SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSection, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(key);
    RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
  }
  void Store(DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExW(key, L"Connection", 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  static std::u16string Read(std::u16string_view section = u"Setting") {
    return GetSetting(u"OrvendelSettingsTest", section, u"Connection", u"0");
  }
  HKEY key = nullptr;
};

TEST_F(Win32SettingsTest, MissingKeyOrValueGivesTheDefault) {
  EXPECT_EQ(Read(), u"0");
  EXPECT_EQ(Read(u"NoSuchSection"), u"0");
}

TEST_F(Win32SettingsTest, ValueTypesBecomeText) {
  struct Case {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    std::u16string expected;
  };
  const auto bytes = [](const void* p, std::size_t n) {
    const auto* b = static_cast<const BYTE*>(p);
    return std::vector<BYTE>(b, b + n);
  };
  const DWORD seven = 7;
  const DWORD all = 0xFFFFFFFF;
  const Case cases[] = {
      {"string", REG_SZ, bytes(L"2", 4), u"2"},
      {"empty string", REG_SZ, bytes(L"", 2), u""},
      {"string without terminator", REG_SZ, bytes(L"12", 4), u"12"},
      {"string with text after a terminator", REG_SZ, bytes(L"3\0x", 8), u"3"},
      {"text that is not a number", REG_SZ, bytes(L" 4 apples", 20), u" 4 apples"},
      {"expandable string", REG_EXPAND_SZ, bytes(L"5", 4), u"5"},
      {"DWORD", REG_DWORD, bytes(&seven, 4), u"7"},
      {"largest DWORD", REG_DWORD, bytes(&all, 4), u"4294967295"},
      {"binary", REG_BINARY, bytes("\x01\x02", 2), u"0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Store(c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    EXPECT_EQ(Read(), c.expected);
  }
}

}  // namespace
}  // namespace orv::win32
