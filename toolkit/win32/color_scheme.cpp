#include "toolkit/win32/color_scheme.h"

#include <cstdio>

#include "toolkit/win32/color.h"

namespace orv::win32 {
namespace {

// Wine answers SPI_GETHIGHCONTRAST with the mode always off; there the
// flags that Windows' control panel keeps in the registry are all there is.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Read as off, and said where a user or a debugger can see it.
void ReportUnreadable() {
  std::fputs("the high-contrast flags in the registry are not a number; read as off\n", stderr);
  OutputDebugStringW(L"the high-contrast flags in the registry are not a number; read as off\n");
}

bool RegistryHighContrastOn() {
  wchar_t text[16] = {};
  DWORD size = sizeof text;
  const LSTATUS status =
      RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Accessibility\\HighContrast", L"Flags",
                   RRF_RT_REG_SZ, nullptr, text, &size);
  if (status == ERROR_FILE_NOT_FOUND) return false;
  // RegGetValueW ends the string within the buffer or answers ERROR_MORE_DATA.
  const std::optional<DWORD> flags =
      status == ERROR_SUCCESS ? ParseHighContrastFlags(text) : std::nullopt;
  if (!flags) {
    ReportUnreadable();
    return false;
  }
  return (*flags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

std::optional<DWORD> ParseHighContrastFlags(std::wstring_view text) {
  // A 32-bit number has at most ten decimal digits.
  if (text.empty() || text.size() > 10) return std::nullopt;
  unsigned long long flags = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    flags = flags * 10 + static_cast<unsigned>(c - L'0');
  }
  if (flags > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<DWORD>(flags);
}

bool HighContrastOn() {
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof hc;
  if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
      (hc.dwFlags & HCF_HIGHCONTRASTON) != 0) {
    return true;
  }
  return UnderWine() && RegistryHighContrastOn();
}

ColorScheme::ColorScheme(const FormDescription& form) : m_form(form) { Refresh(); }

ColorScheme::~ColorScheme() {
  if (m_faceBrush != nullptr) DeleteObject(m_faceBrush);
}

bool ColorScheme::Refresh() {
  const bool highContrast = HighContrastOn();
  const TextColors face{GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)};
  const TextColors field{GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)};
  const bool changed =
      m_faceBrush == nullptr || highContrast != m_highContrast ||
      (highContrast && (face.text != m_systemFace.text || face.back != m_systemFace.back ||
                        field.text != m_systemField.text || field.back != m_systemField.back));
  m_highContrast = highContrast;
  m_systemFace = face;
  m_systemField = field;
  if (!changed) return false;
  m_face = Map(m_form.colors.text, m_form.backColor).back;
  if (m_faceBrush != nullptr) DeleteObject(m_faceBrush);
  m_faceBrush = CreateSolidBrush(m_face);
  return true;
}

TextColors ColorScheme::Map(Color text, Color back) const {
  if (!m_highContrast) return {ToColorRef(text), ToColorRef(back)};
  return back == m_form.colors.window ? m_systemField : m_systemFace;
}

TextColors ColorScheme::ColorsOf(const ControlDescription& d) const {
  return Map(ForeColorOf(m_form, d), BackColorOf(m_form, d));
}

}  // namespace orv::win32
