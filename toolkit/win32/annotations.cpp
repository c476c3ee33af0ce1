// The property ids and the service's class are GUIDs the header only
// declares unless asked to define them here.
#include <initguid.h>

#include "toolkit/win32/annotations.h"

#include <objbase.h>
#include <oleacc.h>

#include <algorithm>
#include <string>

#include "toolkit/win32/wide.h"

namespace orv::win32 {

Annotations::Annotations() {
  // S_FALSE: the thread was in COM already, and still counts a join.
  m_comJoined = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  void* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IAccPropServices, &services))) {
    m_services = static_cast<IAccPropServices*>(services);
  }
}

Annotations::~Annotations() {
  Clear();
  if (m_services != nullptr) m_services->Release();
  if (m_comJoined) CoUninitialize();
}

void Annotations::Remember(HWND hwnd) {
  if (std::find(m_annotated.begin(), m_annotated.end(), hwnd) == m_annotated.end()) {
    m_annotated.push_back(hwnd);
  }
}

void Annotations::Text(HWND hwnd, const GUID& property, std::u16string_view text) {
  if (m_services == nullptr) return;
  const std::wstring wide = Wide(text);
  if (SUCCEEDED(m_services->SetHwndPropStr(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                           property, wide.c_str()))) {
    Remember(hwnd);
  }
}

void Annotations::Name(HWND hwnd, std::u16string_view text) { Text(hwnd, PROPID_ACC_NAME, text); }

void Annotations::Description(HWND hwnd, std::u16string_view text) {
  Text(hwnd, PROPID_ACC_DESCRIPTION, text);
}

void Annotations::Role(HWND hwnd, long role) {
  if (m_services == nullptr) return;
  VARIANT value{};
  value.vt = VT_I4;
  value.lVal = role;
  if (SUCCEEDED(m_services->SetHwndProp(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                        PROPID_ACC_ROLE, value))) {
    Remember(hwnd);
  }
}

void Annotations::Clear() {
  if (m_services == nullptr) return;
  static const MSAAPROPID kProps[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION, PROPID_ACC_ROLE};
  for (HWND hwnd : m_annotated) {
    m_services->ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kProps,
                               static_cast<int>(std::size(kProps)));
  }
  m_annotated.clear();
}

}  // namespace orv::win32
