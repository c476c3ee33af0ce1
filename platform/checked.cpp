#include "platform/checked.h"
