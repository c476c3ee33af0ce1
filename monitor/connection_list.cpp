#include "monitor/connection_list.h"

#include "platform/convert.h"

namespace orv {

std::int16_t ChoicePosition(std::u16string_view stored, std::int16_t listCount) {
  // An empty list can only be left without a selection.
  if (listCount <= 0) return -1;
  double p = 0;
  // A text whose number overflows a double ("1e309") names no entry.
  if (!Attempt([&] { p = Val(stored); })) return 0;
  // The comparison is made before the rounding, as the stored position
  // was always checked: 2.4 of three entries is refused, 1.5 is not.
  if (!(p + 1 <= listCount)) return 0;
  std::int16_t position = 0;
  if (!Attempt([&] { position = ToInt16(p); })) return 0;
  if (position < -1 || position >= listCount) return 0;
  return position;
}

std::u16string ConnectionEntry(const CInterfaces::Record& record) {
  return record->InterfaceDescription() + u' ';
}

std::int32_t FillConnectionList(DropDownList& list, InterfaceReader& reader,
                                ListedEntries& listed) {
  const std::shared_ptr<CInterfaces> interfaces = reader.Interfaces();
  if (!interfaces) return 0;
  std::int32_t added = 0;
  for (const CInterfaces::Record& record : *interfaces) {
    if (!record) continue;
    // The list takes at most kMaxListEntries; the ones past that are left out.
    std::u16string entry = ConnectionEntry(record);
    if (Attempt([&] { list.AddItem(entry); })) {
      listed.push_back(std::move(entry));
      ++added;
    }
  }
  return added;
}

// An entry is the description and one space: compared in place, so a
// tick at 1,000 links builds no strings.
bool ListShows(const ListedEntries& listed, const CInterfaces& interfaces) {
  if (static_cast<std::size_t>(interfaces.Count()) != listed.size()) return false;
  auto entry = listed.begin();
  for (const CInterfaces::Record& record : interfaces) {
    if (!record) return false;
    const std::u16string& description = record->InterfaceDescription();
    const std::u16string& shown = *entry++;
    if (shown.size() != description.size() + 1 || shown.back() != u' ' ||
        shown.compare(0, description.size(), description) != 0) {
      return false;
    }
  }
  return true;
}

void RestoreConnectionChoice(DropDownList& list, const GetSettingFn& getSetting) {
  std::u16string stored(kSettingDefault);
  if (getSetting) {
    stored = getSetting(kSettingApplication, kSettingSection, kSettingKey, kSettingDefault);
  }
  list.ListIndex(ChoicePosition(stored, list.ListCount()));
}

}  // namespace orv
