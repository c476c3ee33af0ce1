#pragma once

#include "platform/form_description.h"

namespace orv {

// The window as it is created: its controls, their places in twips, texts,
// colours, fonts, tab order, and the periods of its two timers.
const FormDescription& FrmBandwidthLayout();

}  // namespace orv
