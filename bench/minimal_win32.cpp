// The plain way to do the Windows window's work, written as a Win32
// programmer would without our toolkit: a window of the same size with 12
// STATIC labels (four captions, four rates, four values), a drop-down list
// of the interface table's entries and a 380 x 117 graph drawn into a kept
// bitmap. Every 100 ms it reads the table with GetIfTable, sets all eight
// changing labels' text again (changed or not), redraws the whole graph
// and invalidates it. bench/measure-process runs it beside orvendel.exe as
// the floor for CPU under Wine.
//
//   bench_minimal_win32 [seconds]     runs until closed, or for that long
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <deque>
#include <vector>

namespace {

constexpr int kGraphWidth = 380;
constexpr int kGraphHeight = 117;
constexpr int kHistory = 100;
constexpr UINT_PTR kTick = 1;
constexpr UINT_PTR kEnd = 2;

struct App {
  HFONT cjk = nullptr;
  HFONT latin = nullptr;
  HBRUSH white = nullptr;
  HWND combo = nullptr;
  HWND graph = nullptr;
  std::array<HWND, 4> rates{};
  std::array<HWND, 4> values{};
  HDC graphDc = nullptr;
  HBITMAP graphBitmap = nullptr;
  HGDIOBJ graphInitial = nullptr;
  std::vector<BYTE> table;
  std::deque<double> history = std::deque<double>(kHistory, 0.0);
  DWORD lastIn = 0;
  DWORD lastOut = 0;
  double top = 0;
  double average = 0;
};

App* AppOf(HWND hwnd) { return reinterpret_cast<App*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

HWND Static(HWND parent, const wchar_t* text, int x, int y, int w, int h, DWORD style, HFONT font) {
  HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                               parent, nullptr, nullptr, nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}

// The table in a buffer grown to what the call asks for.
const MIB_IFTABLE* ReadTable(App& app) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    ULONG size = static_cast<ULONG>(app.table.size());
    const DWORD status =
        GetIfTable(app.table.empty() ? nullptr : reinterpret_cast<MIB_IFTABLE*>(app.table.data()),
                   &size, TRUE);
    if (status == NO_ERROR) return reinterpret_cast<const MIB_IFTABLE*>(app.table.data());
    if (status != ERROR_INSUFFICIENT_BUFFER) return nullptr;
    app.table.resize(size);
  }
  return nullptr;
}

void FillList(App& app) {
  const MIB_IFTABLE* table = ReadTable(app);
  if (table == nullptr) return;
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    const MIB_IFROW& row = table->table[i];
    wchar_t text[MAXLEN_IFDESCR + 1] = {};
    const DWORD length = std::min<DWORD>(row.dwDescrLen, MAXLEN_IFDESCR);
    MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(row.bDescr),
                        static_cast<int>(length), text, MAXLEN_IFDESCR);
    SendMessageW(app.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  SendMessageW(app.combo, CB_SETCURSEL, 0, 0);
}

void RedrawGraph(App& app) {
  HDC dc = app.graphDc;
  RECT all{0, 0, kGraphWidth, kGraphHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HPEN grid = CreatePen(PS_SOLID, 1, RGB(0, 128, 128));
  HGDIOBJ old = SelectObject(dc, grid);
  for (int x = 0; x < kGraphWidth; x += 12) {
    MoveToEx(dc, x, 0, nullptr);
    LineTo(dc, x, kGraphHeight);
  }
  for (int y = 0; y < kGraphHeight; y += 12) {
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, kGraphWidth, y);
  }
  double top = 1;
  for (double v : app.history) top = std::max(top, v);
  std::array<POINT, kHistory> points{};
  for (int i = 0; i < kHistory; ++i) {
    const double v = app.history[static_cast<std::size_t>(i)];
    points[static_cast<std::size_t>(i)] = {i * (kGraphWidth - 1) / (kHistory - 1),
                                           static_cast<LONG>((kGraphHeight - 1) * (1 - v / top))};
  }
  HPEN curve = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
  SelectObject(dc, curve);
  Polyline(dc, points.data(), kHistory);
  SelectObject(dc, old);
  DeleteObject(curve);
  DeleteObject(grid);
  InvalidateRect(app.graph, nullptr, FALSE);
}

void Tick(App& app) {
  const MIB_IFTABLE* table = ReadTable(app);
  DWORD in = app.lastIn;
  DWORD out = app.lastOut;
  const LRESULT chosen = SendMessageW(app.combo, CB_GETCURSEL, 0, 0);
  if (table != nullptr && chosen >= 0 && static_cast<DWORD>(chosen) < table->dwNumEntries) {
    in = table->table[chosen].dwInOctets;
    out = table->table[chosen].dwOutOctets;
  }
  const double delta = static_cast<double>(in - app.lastIn);
  app.lastIn = in;
  app.lastOut = out;
  app.average = (delta + app.average) / 2;
  app.top = std::max(app.top, delta);
  const std::array<const wchar_t*, 4> prefixes = {L"下载速率: ", L"上载速率: ", L"平均下载速率: ",
                                                  L"平均上载速率: "};
  const std::array<double, 4> rates = {app.top, app.top / 9, app.average, app.average / 9};
  wchar_t text[64];
  for (std::size_t i = 0; i < rates.size(); ++i) {
    std::swprintf(text, 64, L"%ls%.2f Kb/S", prefixes[i], rates[i] / 1024);
    SetWindowTextW(app.rates[i], text);
  }
  std::swprintf(text, 64, L"%lu KB", static_cast<unsigned long>(in / 1024));
  SetWindowTextW(app.values[0], text);
  std::swprintf(text, 64, L"%lu KB", static_cast<unsigned long>(out / 1024));
  SetWindowTextW(app.values[1], text);
  std::swprintf(text, 64, L"%.2f KBS ", delta / 1024);
  SetWindowTextW(app.values[2], text);
  std::swprintf(text, 64, L"%.0f BS ", app.average);
  SetWindowTextW(app.values[3], text);
  app.history.pop_front();
  app.history.push_back(app.average / 1024 + 5);
  RedrawGraph(app);
}

LRESULT CALLBACK GraphProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    App* app = AppOf(GetParent(hwnd));
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (app != nullptr) BitBlt(dc, 0, 0, kGraphWidth, kGraphHeight, app->graphDc, 0, 0, SRCCOPY);
    EndPaint(hwnd, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Build(HWND hwnd, App& app) {
  app.cjk = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"宋体");
  app.latin = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
  app.white = CreateSolidBrush(RGB(255, 255, 255));
  app.graph = CreateWindowExW(0, L"MinimalGraph", nullptr, WS_CHILD | WS_VISIBLE, 0, 72,
                              kGraphWidth, kGraphHeight, hwnd, nullptr, nullptr, nullptr);
  HDC screen = GetDC(nullptr);
  app.graphDc = CreateCompatibleDC(screen);
  app.graphBitmap = CreateCompatibleBitmap(screen, kGraphWidth, kGraphHeight);
  ReleaseDC(nullptr, screen);
  app.graphInitial = SelectObject(app.graphDc, app.graphBitmap);
  app.combo = CreateWindowExW(0, L"COMBOBOX", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 4,
                              260, 364, 200, hwnd, nullptr, nullptr, nullptr);
  SendMessageW(app.combo, WM_SETFONT, reinterpret_cast<WPARAM>(app.latin), FALSE);
  const std::array<const wchar_t*, 4> captions = {L" 接收字节:", L"发送字节:", L" 下载速率:",
                                                  L" 上载速率:"};
  for (std::size_t i = 0; i < captions.size(); ++i) {
    const int y = 340 + 24 * static_cast<int>(i);
    Static(hwnd, captions[i], 4, y, 96, 20, 0, app.cjk);
    app.values[i] = Static(hwnd, L"", 101, y, 110, 23, SS_RIGHT | WS_BORDER, app.latin);
  }
  for (std::size_t i = 0; i < app.rates.size(); ++i) {
    app.rates[i] = Static(hwnd, L"", 4, 196 + 16 * static_cast<int>(i), 240, 14, 0, app.cjk);
  }
  FillList(app);
  // The first tick's rates start from the counters as they are now.
  const MIB_IFTABLE* table = ReadTable(app);
  if (table != nullptr && table->dwNumEntries > 0) {
    app.lastIn = table->table[0].dwInOctets;
    app.lastOut = table->table[0].dwOutOctets;
  }
  RedrawGraph(app);
}

void Release(App& app) {
  SelectObject(app.graphDc, app.graphInitial);
  DeleteObject(app.graphBitmap);
  DeleteDC(app.graphDc);
  DeleteObject(app.white);
  DeleteObject(app.latin);
  DeleteObject(app.cjk);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  App* app = AppOf(hwnd);
  switch (msg) {
    case WM_TIMER:
      if (app == nullptr) break;
      if (wp == kEnd) {
        DestroyWindow(hwnd);
      } else {
        Tick(*app);
      }
      return 0;
    case WM_CTLCOLORSTATIC: {
      if (app == nullptr) break;
      const auto label = reinterpret_cast<HWND>(lp);
      if (std::find(app->values.begin(), app->values.end(), label) == app->values.end()) break;
      SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(app->white);
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show) {
  WNDCLASSEXW graph{};
  graph.cbSize = sizeof graph;
  graph.lpfnWndProc = &GraphProc;
  graph.hInstance = instance;
  graph.lpszClassName = L"MinimalGraph";
  WNDCLASSEXW window = graph;
  window.lpfnWndProc = &WindowProc;
  window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window.lpszClassName = L"MinimalWindow";
  if (!RegisterClassExW(&graph) || !RegisterClassExW(&window)) return 1;
  RECT frame{0, 0, 382, 439};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&frame, style, FALSE);
  HWND hwnd = CreateWindowExW(0, L"MinimalWindow", L"minimal", style, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              instance, nullptr);
  if (hwnd == nullptr) return 1;
  App app;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&app));
  Build(hwnd, app);
  ShowWindow(hwnd, show);
  SetTimer(hwnd, kTick, 100, nullptr);
  const long seconds = arguments != nullptr ? std::wcstol(arguments, nullptr, 10) : 0;
  if (seconds > 0 && seconds < 86400) {
    SetTimer(hwnd, kEnd, static_cast<UINT>(seconds * 1000), nullptr);
  }
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Release(app);
  return static_cast<int>(msg.wParam);
}
