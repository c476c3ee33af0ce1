#include "platform/qt/label.h"
