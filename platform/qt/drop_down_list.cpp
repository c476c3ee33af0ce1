#include "platform/qt/drop_down_list.h"
