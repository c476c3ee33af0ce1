#include "monitor/connection_list.h"

#include "platform/convert.h"
#include "platform/qt/text.h"

namespace orv {

std::int16_t ChoicePosition(const QString& stored, std::int16_t listCount) {
  // An empty list can only be left without a selection.
  if (listCount <= 0) return -1;
  double p = 0;
  // A text whose number overflows a double ("1e309") names no entry.
  if (!Attempt([&] { p = Val(stored.toStdU16String()); })) return 0;
  // The comparison is made before the rounding, as the stored position
  // was always checked: 2.4 of three entries is refused, 1.5 is not.
  if (!(p + 1 <= listCount)) return 0;
  std::int16_t position = 0;
  if (!Attempt([&] { position = ToInt16(p); })) return 0;
  if (position < -1 || position >= listCount) return 0;
  return position;
}

std::int32_t FillConnectionList(DropDownList& list, InterfaceReader& reader) {
  const std::shared_ptr<CInterfaces> interfaces = reader.Interfaces();
  if (!interfaces) return 0;
  std::int32_t added = 0;
  for (const CInterfaces::Record& record : *interfaces) {
    if (!record) continue;
    const QString text = ToQString(record->InterfaceDescription()) +
                         QLatin1Char(' ');
    // The list takes at most 32767 entries; the ones past that are left out.
    if (Attempt([&] { list.AddItem(text); })) ++added;
  }
  return added;
}

void RestoreConnectionChoice(DropDownList& list, const SettingReader& getSetting) {
  QString stored = kSettingDefault;
  if (getSetting) {
    stored = getSetting(kSettingApplication, kSettingSection, kSettingKey, kSettingDefault);
  }
  list.ListIndex(ChoicePosition(stored, list.ListCount()));
}

}  // namespace orv
