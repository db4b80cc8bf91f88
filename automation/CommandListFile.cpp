#include "automation/CommandListFile.h"
