// The probe's count and self-check: what a window's process holds of the
// two per-process budgets Windows enforces (10,000 GDI objects, 10,000 USER
// objects by default), for the soak test and bench/measure-handles.
//
// GetGuiResources answers on Windows; under Wine it is a stub that says 0.
// There the GDI count comes from the process's own handle table, which its
// PEB points to (GdiSharedHandleTable): 0x10000 entries of 24 bytes, the
// byte at 14 the object's type (0 for a free entry), bit 7 of the byte at
// 12 the stock flag (objects every process has, never freed). The USER
// count is the windows of the window's thread: its top-level ones (the
// window, the list's drop-down, the input method's) and all their children.
#include "handle_count.h"

#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kPebGdiTableOffset = 0xF8;  // 64-bit PEB
constexpr std::size_t kGdiEntries = 0x10000;
constexpr std::size_t kGdiEntrySize = 24;
constexpr std::size_t kGdiTypeByte = 14;
constexpr std::size_t kGdiFlagsByte = 12;
constexpr std::uint8_t kGdiStockBit = 0x80;

using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

bool ReadExactly(HANDLE process, std::uintptr_t address, void* into, std::size_t size) {
  SIZE_T got = 0;
  return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), into, size, &got) &&
         got == size;
}

std::optional<std::uintptr_t> GdiTableOf(HANDLE process) {
  const auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  if (query == nullptr) return std::nullopt;
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (query(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0 ||
      length != sizeof basic || basic.PebBaseAddress == nullptr) {
    return std::nullopt;
  }
  std::uintptr_t table = 0;
  const auto peb = reinterpret_cast<std::uintptr_t>(basic.PebBaseAddress);
  if (!ReadExactly(process, peb + kPebGdiTableOffset, &table, sizeof table) || table == 0) {
    return std::nullopt;
  }
  return table;
}

// The process's own GDI objects in use, stock objects left out.
std::optional<unsigned> GdiObjects(HANDLE process) {
  const DWORD reported = GetGuiResources(process, GR_GDIOBJECTS);
  if (reported != 0) return reported;
  const std::optional<std::uintptr_t> table = GdiTableOf(process);
  if (!table) return std::nullopt;
  std::vector<std::uint8_t> entries(kGdiEntries * kGdiEntrySize);
  if (!ReadExactly(process, *table, entries.data(), entries.size())) return std::nullopt;
  unsigned used = 0;
  for (std::size_t at = 0; at + kGdiEntrySize <= entries.size(); at += kGdiEntrySize) {
    const bool inUse = entries[at + kGdiTypeByte] != 0;
    const bool stock = (entries[at + kGdiFlagsByte] & kGdiStockBit) != 0;
    if (inUse && !stock) ++used;
  }
  return used;
}

BOOL CALLBACK CountOne(HWND, LPARAM param) {
  ++*reinterpret_cast<unsigned*>(param);
  return TRUE;
}

BOOL CALLBACK CountTree(HWND hwnd, LPARAM param) {
  ++*reinterpret_cast<unsigned*>(param);
  EnumChildWindows(hwnd, &CountOne, param);
  return TRUE;
}

unsigned UserWindows(DWORD thread) {
  unsigned count = 0;
  EnumThreadWindows(thread, &CountTree, reinterpret_cast<LPARAM>(&count));
  return count;
}

struct Counts {
  unsigned gdi;
  unsigned user;
};

std::optional<Counts> CountsOf(DWORD processId, DWORD thread) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process == nullptr) return std::nullopt;
  const std::optional<unsigned> gdi = GdiObjects(process);
  CloseHandle(process);
  if (!gdi) return std::nullopt;
  return Counts{*gdi, UserWindows(thread)};
}

}  // namespace

int CountHandles(HWND top) {
  DWORD processId = 0;
  const DWORD thread = GetWindowThreadProcessId(top, &processId);
  const std::optional<Counts> counts = CountsOf(processId, thread);
  if (!counts) {
    std::fputs("cannot read the window's process\n", stderr);
    return 1;
  }
  std::printf("gdi %u user %u\n", counts->gdi, counts->user);
  return 0;
}

namespace {

bool Expect(const char* what, std::optional<Counts> got, Counts want) {
  if (got && got->gdi == want.gdi && got->user == want.user) return true;
  std::fprintf(stderr, "FAIL: %s: expected gdi %u user %u, counted ", what, want.gdi, want.user);
  if (got) {
    std::fprintf(stderr, "gdi %u user %u\n", got->gdi, got->user);
  } else {
    std::fputs("nothing (the process could not be read)\n", stderr);
  }
  return false;
}

HWND MakeWindow(HWND parent) {
  return CreateWindowExW(0, L"STATIC", L"count", parent ? WS_CHILD : WS_OVERLAPPEDWINDOW, 0, 0, 100,
                         100, parent, nullptr, nullptr, nullptr);
}

// Known numbers of objects of this process, made and freed: the counts
// must follow them exactly, which proves the table's layout and the walk.
// A first window stays up throughout: the first one of a thread brings
// objects of the system's own (fonts, the input method's window) that
// stay while the thread has windows.
}  // namespace

int HandleCountSelfCheck() {
  constexpr unsigned kBitmaps = 100;
  constexpr unsigned kChildren = 10;
  const DWORD self = GetCurrentProcessId();
  const DWORD thread = GetCurrentThreadId();
  HWND anchor = MakeWindow(nullptr);
  const std::optional<Counts> before = CountsOf(self, thread);
  if (!before) return Expect("before", before, {0, 0}) ? 0 : 1;
  std::vector<HBITMAP> bitmaps;
  for (unsigned i = 0; i < kBitmaps; ++i) bitmaps.push_back(CreateBitmap(8, 8, 1, 32, nullptr));
  bool ok = Expect("with 100 bitmaps made", CountsOf(self, thread),
                   {before->gdi + kBitmaps, before->user});
  for (HBITMAP b : bitmaps) DeleteObject(b);
  ok = Expect("with them deleted", CountsOf(self, thread), *before) && ok;
  HWND top = MakeWindow(nullptr);
  for (unsigned i = 0; i < kChildren; ++i) MakeWindow(top);
  const std::optional<Counts> grown = CountsOf(self, thread);
  if (!grown || grown->user != before->user + 1 + kChildren) {
    ok = Expect("with a window of 10 children made", grown,
                {grown ? grown->gdi : 0, before->user + 1 + kChildren}) &&
         ok;
  }
  DestroyWindow(top);
  const std::optional<Counts> after = CountsOf(self, thread);
  if (!after || after->user != before->user) {
    ok = Expect("with it destroyed", after, {after ? after->gdi : 0, before->user}) && ok;
  }
  DestroyWindow(anchor);
  if (ok) {
    std::printf("ok: from gdi %u user %u, 100 bitmaps and 11 windows counted and uncounted\n",
                before->gdi, before->user);
  }
  return ok ? 0 : 1;
}
