#pragma once

#include <string>

#include "iftable/if_table.h"

namespace orv::windows_if {

// The table call named `function` in the DLL file `library` of the system
// directory, looked up at the first call and never again: a library or
// function that cannot be had makes every call answer kStatusNotSupported.
// The caller's buffer and size go to the call as they are; its status is
// mapped onto the kStatus values (any other code passes through). Copies
// of the returned function share one lookup, safe to race from several
// threads; the library stays loaded while any copy lives.
GetIfTableFn IfTableFromLibrary(std::wstring library, std::string function);

}  // namespace orv::windows_if
