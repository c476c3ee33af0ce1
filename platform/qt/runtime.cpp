#include "platform/qt/runtime.h"
