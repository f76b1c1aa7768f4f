// Text and background colours of labels and text fields: kind_slot_1 is
// the background colour, kind_slot_2 the text colour (-1 = default each),
// kind_slot_3 the background brush taken from the shared cache.
#pragma once
#include <windows.h>
#include "toolkit/control_core.h"

void colors_init(GadgetObject* gadget);
int64_t colors_set(GadgetObject* gadget, int32_t which, int64_t color);
int64_t colors_get(GadgetObject* gadget, int32_t which);
void colors_release(GadgetObject* gadget);
// The answer to a WM_CTLCOLOR* message; `system_color` is COLOR_BTNFACE or
// COLOR_WINDOW. CONTROL_DEFAULT_RESULT when both colours are default.
LRESULT colors_answer(GadgetObject* gadget, HDC dc, int32_t system_color);
