#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

struct IAccPropServices;

namespace orv::win32 {

// What a screen reader reads for a window beyond its text and class, set
// by Active Accessibility's direct annotation (IAccPropServices). Any
// call may fail: Wine 8 creates the service but implements none of it,
// and then the window is read without the property, as it would be on a
// system without the service. Nothing of the window depends on it.
class Annotations {
 public:
  // Joins this thread to COM, single-threaded, as a window's thread is.
  Annotations();
  // Clears every property it set; the windows must still exist.
  ~Annotations();
  Annotations(const Annotations&) = delete;
  Annotations& operator=(const Annotations&) = delete;

  void Name(HWND hwnd, std::u16string_view text);
  void Description(HWND hwnd, std::u16string_view text);
  // One of the ROLE_SYSTEM_ values.
  void Role(HWND hwnd, long role);
  // Forgets the windows' properties; for the window's own destruction.
  void Clear();

 private:
  void Text(HWND hwnd, const GUID& property, std::u16string_view text);
  void Remember(HWND hwnd);

  IAccPropServices* m_services = nullptr;
  bool m_comJoined = false;
  std::vector<HWND> m_annotated;
};

}  // namespace orv::win32
