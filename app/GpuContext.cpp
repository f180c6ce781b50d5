#include "app/GpuContext.h"

GpuContext gpu;
