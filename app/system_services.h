#pragma once

#include <memory>
#include <utility>

#include "iftable/if_table.h"
#include "monitor/frm_bandwidth.h"
#include "platform/number_locale.h"
#include "platform/services.h"
#include "stats/cip_helper.h"

namespace orv {

// The window's services in the real program, whichever toolkit shows it:
// this machine's interface table, timers that run from creation, and the
// toolkit's settings store, event yield and the user's number locale.
inline MonitorServices SystemServices(GetSettingFn getSetting, DoEventsFn doEvents,
                                      NumberLocale locale) {
  MonitorServices services;
  services.makeReader = [] {
    return std::make_shared<CIpHelper>(SystemIfTable(), SystemDescriptionDecoder());
  };
  services.getSetting = std::move(getSetting);
  services.doEvents = std::move(doEvents);
  services.locale = std::move(locale);
  services.startTimers = true;
  return services;
}

}  // namespace orv
