#include "toolkit/win32/runtime.h"

#include <windows.h>

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/error.h"
#include "toolkit/win32/form.h"
#include "toolkit/win32/wide.h"

namespace orv::win32 {
namespace {

// A yield returns even when messages keep arriving (a flood of input, a
// paint that invalidates itself), so a tick can never be held up for good.
constexpr int kMaxMessagesPerYield = 500;

std::u16string LocaleText(LCTYPE what, std::u16string_view fallback) {
  wchar_t buffer[16] = {};
  const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, buffer, 16);
  if (n <= 1) return std::u16string(fallback);
  return Utf16(std::wstring_view(buffer, static_cast<std::size_t>(n - 1)));
}

}  // namespace

void DoEvents() {
  MSG msg;
  for (int i = 0; i < kMaxMessagesPerYield && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (TranslateKeys(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::u16string GetSetting(std::u16string_view application, std::u16string_view section,
                          std::u16string_view key, std::u16string_view defaultValue) {
  const std::wstring path =
      L"Software\\" + Wide(application) + L"\\" + Wide(application) + L"\\" + Wide(section);
  HKEY hkey = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &hkey) != ERROR_SUCCESS) {
    return std::u16string(defaultValue);
  }
  const std::wstring name = Wide(key);
  std::u16string result(defaultValue);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(hkey, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<BYTE> data(size + sizeof(wchar_t));
    DWORD got = size;
    if (RegQueryValueExW(hkey, name.c_str(), nullptr, &type, data.data(), &got) == ERROR_SUCCESS) {
      if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // Stored strings need not end in a terminator, or may carry several;
        // the text ends at the first one or at the data's end.
        std::wstring text(got / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        text.resize(std::wcslen(text.c_str()));
        result = Utf16(text);
      } else if (type == REG_DWORD && got == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof value);
        const std::string digits = std::to_string(value);
        result.assign(digits.begin(), digits.end());
      }
    }
  }
  RegCloseKey(hkey);
  return result;
}

NumberLocale UserNumberLocale() {
  NumberLocale locale;
  locale.decimal = LocaleText(LOCALE_SDECIMAL, locale.decimal);
  locale.group = LocaleText(LOCALE_STHOUSAND, locale.group);
  locale.date = LocaleText(LOCALE_SDATE, locale.date);
  return locale;
}

namespace {

// The report is put together in a fixed buffer, as snprintf would cut it,
// without the printf family (a tenth of the program's size) and without
// allocating: the error may be that memory ran out.
class ReportLine {
 public:
  void Append(std::string_view part) {
    const std::size_t room = sizeof text_ - 1 - used_;
    const std::size_t n = part.size() < room ? part.size() : room;
    std::memcpy(text_ + used_, part.data(), n);
    used_ += n;
    text_[used_] = '\0';
  }
  void AppendNumber(int value) {
    char digits[16];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    if (ec == std::errc()) Append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }
  const char* c_str() const { return text_; }

 private:
  char text_[600] = {};
  std::size_t used_ = 0;
};

}  // namespace

void ReportUntrappedError(const std::exception& error) {
  const auto* own = dynamic_cast<const Error*>(&error);
  ReportLine report;
  if (own != nullptr) {
    report.Append("Run-time error ");
    report.AppendNumber(static_cast<int>(own->code()));
    report.Append(": ");
  } else {
    report.Append("Run-time error: ");
  }
  report.Append(error.what());
  report.Append("\n");
  const char* line = report.c_str();
  std::fputs(line, stderr);
  std::fflush(stderr);
  // A program of the GUI subsystem started from Explorer has no standard
  // error; a debugger or a log viewer still sees this.
  wchar_t wide[600] = {};
  MultiByteToWideChar(CP_UTF8, 0, line, -1, wide, 600);
  OutputDebugStringW(wide);
  ExitProcess(EXIT_FAILURE);
}

}  // namespace orv::win32

#if defined(__GLIBCXX__)
// What std::terminate runs (an exception out of a noexcept function, or one
// of no std::exception type past the entry point's catch). The library's
// own handler spells out the exception's type name, which links its whole
// C++ name demangler (45 kB) into a statically linked program; this one
// reports the error as every other untrapped error is reported.
void __gnu_cxx::__verbose_terminate_handler() {
  try {
    if (const std::exception_ptr pending = std::current_exception()) {
      std::rethrow_exception(pending);
    }
  } catch (const std::exception& e) {
    orv::win32::ReportUntrappedError(e);
  } catch (...) {
  }
  std::fputs("Run-time error: terminate called\n", stderr);
  std::abort();
}
#endif
