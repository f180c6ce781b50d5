#include "renderer/GpuContext.h"

GpuContext gpu;
