// orv-win32-inspect: reads the monitor window of another process, as a user
// would see it, for the window tests.
//   orv-win32-inspect wait TITLE MILLISECONDS   exits 0 once the window is shown
//   orv-win32-inspect dump TITLE                prints the window and every child
//   orv-win32-inspect close TITLE               asks the window to close
//   orv-win32-inspect read TITLE                prints what a screen reader reads
//   orv-win32-inspect colours TITLE             tells the window, as Windows
//                                             does, that the system's colours
//                                             and high-contrast mode changed
//   orv-win32-inspect count TITLE               prints "gdi N user M": the GDI
//                                             objects and USER windows of the
//                                             window's process
//   orv-win32-inspect self-check                proves that count on objects
//                                             it makes itself
// dump prints, in UTF-8:
//   window X Y WIDTH HEIGHT        client area: screen position and size
//   frame fixed|sizable maximise|no-maximise
//   control ID CLASS X Y WIDTH HEIGHT "TEXT"   client coordinates of the window
//   inner ID X Y WIDTH HEIGHT      for each picture box, its inner area
//   list ID COUNT SELECTED         for each combo box, then its entries:
//   entry ID POSITION "TEXT"
//   focus ID                       the control with the keyboard focus
// read prints, in UTF-8, one line per child window in the order screen
// readers read them (z-order from the top, a window's children after it):
//   read ID CLASS "TEXT" caption ID|-   the STATIC Active Accessibility
//                                       names the control by (msaa_caption.h)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "handle_count.h"
#include "msaa_caption.h"

namespace {

constexpr wchar_t kFormClass[] = L"OrvendelForm";
// Another process's window answers within this, or counts as hung.
constexpr UINT kAnswerMs = 2000;

void Print(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                      nullptr, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// WM_GETTEXT is marshalled between processes; GetWindowText is not, for
// controls of another process.
std::wstring TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length)) {
    return L"?";
  }
  std::vector<wchar_t> buffer(length + 1);
  DWORD_PTR got = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                      SMTO_ABORTIFHUNG, kAnswerMs, &got);
  return std::wstring(buffer.data(), got);
}

LRESULT Ask(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kAnswerMs, &result)) return -1;
  return static_cast<LRESULT>(result);
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

struct Dump {
  HWND top;
  std::wstring pictures;
  std::wstring lists;
};

BOOL CALLBACK DumpChild(HWND child, LPARAM param) {
  auto& dump = *reinterpret_cast<Dump*>(param);
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, dump.top, reinterpret_cast<POINT*>(&r), 2);
  const int id = GetDlgCtrlID(child);
  const std::wstring cls = ClassOf(child);
  Print(L"control " + std::to_wstring(id) + L" " + cls + L" " + std::to_wstring(r.left) + L" " +
        std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
        std::to_wstring(r.bottom - r.top) + L" " + Quoted(TextOf(child)) + L"\n");
  if (cls == L"OrvendelPicture") {
    RECT inner;
    GetClientRect(child, &inner);
    MapWindowPoints(child, dump.top, reinterpret_cast<POINT*>(&inner), 2);
    dump.pictures += L"inner " + std::to_wstring(id) + L" " + std::to_wstring(inner.left) + L" " +
                     std::to_wstring(inner.top) + L" " + std::to_wstring(inner.right - inner.left) +
                     L" " + std::to_wstring(inner.bottom - inner.top) + L"\n";
  }
  if (_wcsicmp(cls.c_str(), L"ComboBox") == 0) {
    const LRESULT count = Ask(child, CB_GETCOUNT, 0, 0);
    const LRESULT selected = Ask(child, CB_GETCURSEL, 0, 0);
    dump.lists += L"list " + std::to_wstring(id) + L" " + std::to_wstring(count) + L" " +
                  std::to_wstring(selected) + L"\n";
    for (LRESULT i = 0; i < count; ++i) {
      const LRESULT length = Ask(child, CB_GETLBTEXTLEN, i, 0);
      std::vector<wchar_t> text(length > 0 ? length + 1 : 1);
      if (length > 0) Ask(child, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
      dump.lists += L"entry " + std::to_wstring(id) + L" " + std::to_wstring(i) + L" " +
                    Quoted(text.data()) + L"\n";
    }
  }
  return TRUE;
}

int DumpWindow(HWND top) {
  RECT client;
  GetClientRect(top, &client);
  POINT origin{0, 0};
  ClientToScreen(top, &origin);
  Print(L"window " + std::to_wstring(origin.x) + L" " + std::to_wstring(origin.y) + L" " +
        std::to_wstring(client.right) + L" " + std::to_wstring(client.bottom) + L"\n");
  const LONG style = GetWindowLongW(top, GWL_STYLE);
  Print(std::wstring(L"frame ") + ((style & WS_THICKFRAME) ? L"sizable" : L"fixed") +
        ((style & WS_MAXIMIZEBOX) ? L" maximise" : L" no-maximise") + L"\n");
  Dump dump{top, {}, {}};
  EnumChildWindows(top, &DumpChild, reinterpret_cast<LPARAM>(&dump));
  Print(dump.pictures);
  Print(dump.lists);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) && info.hwndFocus) {
    Print(L"focus " + std::to_wstring(GetDlgCtrlID(info.hwndFocus)) + L"\n");
  }

  return 0;
}

void ReadChildren(HWND parent) {
  for (HWND w = GetWindow(parent, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    const HWND caption = MsaaCaptionOf(w);
    Print(L"read " + std::to_wstring(GetDlgCtrlID(w)) + L" " + ClassOf(w) + L" " +
          Quoted(TextOf(w)) + L" caption " +
          (caption != nullptr ? std::to_wstring(GetDlgCtrlID(caption)) : L"-") + L"\n");
    ReadChildren(w);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"self-check") return HandleCountSelfCheck();
  if (argc < 3) {
    std::fputs(
        "usage: orv-win32-inspect wait|dump|read|close|colours|count TITLE [MILLISECONDS] |"
        " self-check\n",
        stderr);
    return 2;
  }
  const std::wstring command = argv[1];
  const wchar_t* title = argv[2];
  if (command == L"wait") {
    const DWORD limit = argc > 3 ? std::wcstoul(argv[3], nullptr, 10) : 10000;
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < limit) {
      HWND top = FindWindowW(kFormClass, title);
      if (top != nullptr && IsWindowVisible(top)) return 0;
      Sleep(10);
    }
    std::fputs("the window did not appear\n", stderr);
    return 1;
  }
  HWND top = FindWindowW(kFormClass, title);
  if (top == nullptr) {
    std::fputs("no such window\n", stderr);
    return 1;
  }
  if (command == L"dump") return DumpWindow(top);
  if (command == L"read") {
    ReadChildren(top);
    return 0;
  }
  if (command == L"close") return PostMessageW(top, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == L"count") return CountHandles(top);
  if (command == L"colours") {
    const bool told = Ask(top, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0) != -1 &&
                      Ask(top, WM_SYSCOLORCHANGE, 0, 0) != -1;
    return told ? 0 : 1;
  }
  std::fputs("unknown command\n", stderr);
  return 2;
}
