#include "monitor/frm_bandwidth.h"
