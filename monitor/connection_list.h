#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "platform/error.h"
#include "platform/qt/drop_down_list.h"
#include "stats/interface_reader.h"

namespace orv {

// Where the window keeps its remembered list position.
inline const QString kSettingApplication = QStringLiteral("Project1");
inline const QString kSettingSection = QStringLiteral("Setting");
inline const QString kSettingKey = QStringLiteral("Connection");
inline const QString kSettingDefault = QStringLiteral("0");

using SettingReader =
    std::function<QString(const QString&, const QString&, const QString&, const QString&)>;

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
std::int16_t ChoicePosition(const QString& stored, std::int16_t listCount);

// Appends one entry per interface, its description and one space, from a
// single read of the table, so a table that changes meanwhile cannot
// leave the list half filled. Returns the number of entries added.
std::int32_t FillConnectionList(DropDownList& list, InterfaceReader& reader);

// Selects the stored position (read only, never written).
void RestoreConnectionChoice(DropDownList& list, const SettingReader& getSetting);

}  // namespace orv
