#pragma once

#include <windows.h>

#include <memory>

#include "platform/form_description.h"
#include "toolkit/win32/form.h"

namespace orv::win32 {

// Builds a hidden top-level window from a form description. Each control
// is a child window whose control id is its position in the description
// plus one, so a program outside can tell them apart. The description
// must outlive the form; pictures are bitmap resources of instance of
// their names, and a missing one is simply not shown.
std::unique_ptr<Win32Form> BuildWin32Form(const FormDescription& description, HINSTANCE instance);

}  // namespace orv::win32
