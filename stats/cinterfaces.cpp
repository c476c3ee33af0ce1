#include "stats/cinterfaces.h"
