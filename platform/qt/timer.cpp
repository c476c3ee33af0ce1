#include "platform/qt/timer.h"
