#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls.h"
#include "platform/error.h"
#include "platform/services.h"
#include "stats/cinterfaces.h"
#include "stats/interface_reader.h"

namespace orv {

// Where the window keeps its remembered list position.
inline constexpr std::u16string_view kSettingApplication = u"Project1";
inline constexpr std::u16string_view kSettingSection = u"Setting";
inline constexpr std::u16string_view kSettingKey = u"Connection";
inline constexpr std::u16string_view kSettingDefault = u"0";

// A conditional test that fails counts as passed, so the action it guards
// still runs.
template <class Test>
bool TestOrPass(Test&& test) {
  bool result = true;
  Attempt([&] { result = test(); });
  return result;
}

// The list position a stored setting text selects in a list of
// listCount entries: the leading number rounded half to even when it
// names an entry, -1 (no selection) for -1 or an empty list, and the first
// entry for anything else, unreadable text included.
std::int16_t ChoicePosition(std::u16string_view stored, std::int16_t listCount);

// The list entry of one interface: its description and one space.
std::u16string ConnectionEntry(const CInterfaces::Record& record);

// The entries the window put in its list, in order: what the list shows,
// kept beside it so a tick compares against it instead of reading every
// entry back through the toolkit.
using ListedEntries = std::vector<std::u16string>;

// Appends one entry per interface, from a single read of the table, so a
// table that changes meanwhile cannot leave the list half filled; each
// entry the list took is appended to listed too. Returns the number of
// entries added.
std::int32_t FillConnectionList(DropDownList& list, InterfaceReader& reader, ListedEntries& listed);

// Whether the listed entries are exactly one per interface of a table
// read, in order: a count alone misses one interface leaving as another
// arrives.
bool ListShows(const ListedEntries& listed, const CInterfaces& interfaces);

// Selects the stored position (read only, never written).
void RestoreConnectionChoice(DropDownList& list, const GetSettingFn& getSetting);

}  // namespace orv
