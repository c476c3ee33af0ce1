#include "platform/convert.h"
