#include "stats/cip_helper.h"
