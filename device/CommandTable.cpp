#include "device/CommandTable.h"
