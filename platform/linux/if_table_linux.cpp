#include "platform/if_table.h"
