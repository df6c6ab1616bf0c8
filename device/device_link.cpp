#include "device/device_link.h"
