// Whether the version-6 common controls are in use.
#pragma once
#include <stdint.h>

// 1 when the process's activation context gives the version-6 common
// controls (the setup's manifest asks for them), which draw themselves with
// visual styles when a theme is active; else 0.
int32_t common_controls_6_active();
