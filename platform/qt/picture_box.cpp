#include "platform/qt/picture_box.h"
