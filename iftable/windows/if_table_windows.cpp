#include "iftable/windows/if_table_windows.h"

// winsock2 before windows.h, or the old winsock header gets in first;
// ws2tcpip before iphlpapi.h, which only then declares GetIfTable2.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>
#include <iphlpapi.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "iftable/windows/filter_modules.h"
#include "iftable/windows/one_table_per_read.h"

namespace orv {
namespace windows_if {
namespace {

using GetIfTableProc = DWORD(WINAPI*)(PMIB_IFTABLE table, PULONG size, BOOL order);
using GetIfTable2Proc = DWORD(WINAPI*)(PMIB_IF_TABLE2* table);
using FreeMibTableProc = VOID(WINAPI*)(PVOID memory);

std::uint32_t MapStatus(DWORD status) {
  switch (status) {
    case NO_ERROR:
      return kStatusSuccess;
    case ERROR_INSUFFICIENT_BUFFER:
      return kStatusInsufficientBuffer;
    case ERROR_NOT_SUPPORTED:
      return kStatusNotSupported;
    default:
      // Every other code (invalid parameter, no data...) is a failure the
      // reader treats as such; it keeps its own number.
      return static_cast<std::uint32_t>(status);
  }
}

// A bare DLL name is searched for in the program's own folder before the
// system directory, so a stray file of that name next to the program would
// be loaded in place of the system's. The full path leaves no choice.
HMODULE LoadSystemLibrary(const std::wstring& library) {
  wchar_t directory[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
  // 0 is a failure, MAX_PATH or more the size a longer buffer would need.
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(directory, length);
  path += L'\\';
  path += library;
  return ::LoadLibraryW(path.c_str());
}

// The lookup behind every copy of the functions of one library.
class LazyProcs {
 public:
  LazyProcs(std::wstring library, std::vector<std::string> functions)
      : m_library(std::move(library)), m_functions(std::move(functions)) {}
  ~LazyProcs() {
    if (m_module != nullptr) ::FreeLibrary(m_module);
  }
  LazyProcs(const LazyProcs&) = delete;
  LazyProcs& operator=(const LazyProcs&) = delete;

  // The function named at position i, as the type Proc; null when the
  // library or the function is missing. The system's own one-time
  // initialisation: std::call_once would link a threads library into the
  // program for this one call.
  template <class Proc>
  Proc Get(std::size_t i) {
    ::InitOnceExecuteOnce(&m_once, &LazyProcs::ResolveOnce, this, nullptr);
    // FARPROC is the generic "some function" of the API; through void* the
    // cast to the real signature is not taken for a type mistake.
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(m_procs[i]));
  }

 private:
  static BOOL CALLBACK ResolveOnce(PINIT_ONCE, PVOID self, PVOID*) {
    static_cast<LazyProcs*>(self)->Resolve();
    return TRUE;
  }

  void Resolve() {
    m_procs.assign(m_functions.size(), nullptr);
    m_module = LoadSystemLibrary(m_library);
    if (m_module == nullptr) return;
    for (std::size_t i = 0; i < m_functions.size(); ++i) {
      m_procs[i] = ::GetProcAddress(m_module, m_functions[i].c_str());
    }
  }

  const std::wstring m_library;
  const std::vector<std::string> m_functions;
  INIT_ONCE m_once = INIT_ONCE_STATIC_INIT;
  HMODULE m_module = nullptr;
  std::vector<FARPROC> m_procs;
};

// The indexes of the rows GetIfTable2 marks as filter modules; nothing
// when it cannot be had or fails. The system allocates the table and
// counts its rows; FreeMibTable gives it back.
std::optional<std::vector<std::uint32_t>> FilterIndexes(LazyProcs& procs) {
  const auto getIfTable2 = procs.Get<GetIfTable2Proc>(0);
  const auto freeMibTable = procs.Get<FreeMibTableProc>(1);
  if (getIfTable2 == nullptr || freeMibTable == nullptr) return std::nullopt;
  PMIB_IF_TABLE2 table = nullptr;
  if (getIfTable2(&table) != NO_ERROR || table == nullptr) return std::nullopt;
  std::vector<std::uint32_t> filters;
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IF_ROW2& row = table->Table[i];
    if (row.InterfaceAndOperStatusFlags.FilterInterface) filters.push_back(row.InterfaceIndex);
  }
  freeMibTable(table);
  return filters;
}

}  // namespace

GetIfTableFn IfTableFromLibrary(std::wstring library, std::string function) {
  auto call = std::make_shared<LazyProcs>(std::move(library), std::vector{std::move(function)});
  return [call](std::uint8_t* table, std::uint32_t* size, std::int32_t order) -> std::uint32_t {
    if (size == nullptr) return ERROR_INVALID_PARAMETER;
    const auto getIfTable = call->Get<GetIfTableProc>(0);
    if (getIfTable == nullptr) return kStatusNotSupported;
    ULONG bytes = *size;
    // A null table asks only for the size; the call treats a null pointer
    // that way on its own.
    const DWORD status =
        getIfTable(reinterpret_cast<PMIB_IFTABLE>(table), &bytes, order != 0 ? TRUE : FALSE);
    *size = static_cast<std::uint32_t>(bytes);
    return MapStatus(status);
  };
}

FilterMarksFn FilterMarksFromLibrary(std::wstring library) {
  auto procs = std::make_shared<LazyProcs>(std::move(library),
                                           std::vector<std::string>{"GetIfTable2", "FreeMibTable"});
  return [procs] { return FilterIndexes(*procs); };
}

GetIfTableFn WholeSystemIfTable() {
  return OneTablePerRead(IfTableFromLibrary(kIpHelper, "GetIfTable"));
}

FilterMarksFn SystemFilterMarks() { return FilterMarksFromLibrary(kIpHelper); }

}  // namespace windows_if

GetIfTableFn SystemIfTable() {
  return windows_if::OneTablePerRead(
      windows_if::IfTableFromLibrary(windows_if::kIpHelper, "GetIfTable"),
      windows_if::LeaveOutFilterModules(windows_if::SystemFilterMarks()));
}

DecodeDescriptionFn SystemDescriptionDecoder() {
  return [](std::span<const std::uint8_t> bytes) {
    // A zero byte within the length is a character of the text, and the
    // explicit length keeps it one.
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    const int length = static_cast<int>(bytes.size());
    if (length == 0) return std::u16string();
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (units <= 0) return std::u16string();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), units);
    return std::u16string(wide.begin(), wide.end());
  };
}

}  // namespace orv
