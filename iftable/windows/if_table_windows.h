#pragma once

#include <string>

#include "iftable/if_table.h"
#include "iftable/windows/filter_modules.h"

namespace orv::windows_if {

// The table call named `function` in the DLL file `library` of the system
// directory, looked up at the first call and never again: a library or
// function that cannot be had makes every call answer kStatusNotSupported.
// The caller's buffer and size go to the call as they are; its status is
// mapped onto the kStatus values (any other code passes through). Copies
// of the returned function share one lookup, safe to race from several
// threads; the library stays loaded while any copy lives.
GetIfTableFn IfTableFromLibrary(std::wstring library, std::string function);

// The filter-module marks of GetIfTable2 in the DLL file `library` of the
// system directory, with FreeMibTable of the same file; looked up as
// above, and nothing where either function is missing or the call fails.
FilterMarksFn FilterMarksFromLibrary(std::wstring library);

inline constexpr const wchar_t* kIpHelper = L"iphlpapi.dll";

// This system's table with every row in it, filter modules too, and the
// system's marks of those: what SystemIfTable leaves out, for the
// diagnostic that shows it.
GetIfTableFn WholeSystemIfTable();
FilterMarksFn SystemFilterMarks();

}  // namespace orv::windows_if
