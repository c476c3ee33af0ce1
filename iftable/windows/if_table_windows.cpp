#include "iftable/windows/if_table_windows.h"

// winsock2 before windows.h, or the old winsock header gets in first.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <memory>
#include <utility>

#include "iftable/windows/one_table_per_read.h"

namespace orv {
namespace windows_if {
namespace {

using GetIfTableProc = DWORD(WINAPI*)(PMIB_IFTABLE table, PULONG size, BOOL order);

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

// The lookup behind every copy of one table function.
class LazyTableCall {
 public:
  LazyTableCall(std::wstring library, std::string function)
      : m_library(std::move(library)), m_function(std::move(function)) {}
  ~LazyTableCall() {
    if (m_module != nullptr) ::FreeLibrary(m_module);
  }
  LazyTableCall(const LazyTableCall&) = delete;
  LazyTableCall& operator=(const LazyTableCall&) = delete;

  // Null when the library or the function is missing. The system's own
  // one-time initialisation: std::call_once would link a threads library
  // into the program for this one call.
  GetIfTableProc Get() {
    ::InitOnceExecuteOnce(&m_once, &LazyTableCall::ResolveOnce, this, nullptr);
    return m_proc;
  }

 private:
  static BOOL CALLBACK ResolveOnce(PINIT_ONCE, PVOID self, PVOID*) {
    static_cast<LazyTableCall*>(self)->Resolve();
    return TRUE;
  }

  void Resolve() {
    m_module = LoadSystemLibrary(m_library);
    if (m_module == nullptr) return;
    const FARPROC found = ::GetProcAddress(m_module, m_function.c_str());
    // FARPROC is the generic "some function" of the API; through void* the
    // cast to the real signature is not taken for a type mistake.
    m_proc = reinterpret_cast<GetIfTableProc>(reinterpret_cast<void*>(found));
  }

  const std::wstring m_library;
  const std::string m_function;
  INIT_ONCE m_once = INIT_ONCE_STATIC_INIT;
  HMODULE m_module = nullptr;
  GetIfTableProc m_proc = nullptr;
};

}  // namespace

GetIfTableFn IfTableFromLibrary(std::wstring library, std::string function) {
  auto call = std::make_shared<LazyTableCall>(std::move(library), std::move(function));
  return [call](std::uint8_t* table, std::uint32_t* size, std::int32_t order) -> std::uint32_t {
    if (size == nullptr) return ERROR_INVALID_PARAMETER;
    const GetIfTableProc getIfTable = call->Get();
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

}  // namespace windows_if

GetIfTableFn SystemIfTable() {
  return windows_if::OneTablePerRead(windows_if::IfTableFromLibrary(L"iphlpapi.dll", "GetIfTable"));
}

}  // namespace orv
