#include "device/RequestBuilder.h"
