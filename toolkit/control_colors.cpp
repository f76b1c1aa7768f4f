// Colours of labels and text fields through the shared brush cache.
#include "toolkit/control_colors.h"

static const int32_t TEXT_COLOR = 1;
static const int32_t BACKGROUND_COLOR = 2;
static const int64_t NO_COLOR = -1;

void colors_init(GadgetObject* gadget) {
    gadget->kind_slot_1 = NO_COLOR;
    gadget->kind_slot_2 = NO_COLOR;
    gadget->kind_slot_3 = 0;
}

static void redraw(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_INTERNALPAINT | RDW_FRAME);
}

int64_t colors_set(GadgetObject* gadget, int32_t which, int64_t color) {
    if (which == TEXT_COLOR) {
        gadget->kind_slot_2 = color;
    } else if (which == BACKGROUND_COLOR) {
        brush_cache_release(reinterpret_cast<HBRUSH>(gadget->kind_slot_3));
        HBRUSH brush =
            color == NO_COLOR ? nullptr : brush_cache_take(static_cast<uint32_t>(color));
        gadget->kind_slot_3 = reinterpret_cast<int64_t>(brush);
        gadget->kind_slot_1 = color;
    } else {
        return 0;
    }
    redraw(gadget->hwnd);
    return 1;
}

int64_t colors_get(GadgetObject* gadget, int32_t which) {
    if (which == TEXT_COLOR) {
        return gadget->kind_slot_2;
    }
    return which == BACKGROUND_COLOR ? gadget->kind_slot_1 : NO_COLOR;
}

void colors_release(GadgetObject* gadget) {
    brush_cache_release(reinterpret_cast<HBRUSH>(gadget->kind_slot_3));
    gadget->kind_slot_3 = 0;
}

LRESULT colors_answer(GadgetObject* gadget, HDC dc, int32_t system_color) {
    int64_t background = gadget->kind_slot_1;
    int64_t text = gadget->kind_slot_2;
    if (background == NO_COLOR && text == NO_COLOR) {
        return CONTROL_DEFAULT_RESULT;
    }
    if (text != NO_COLOR) {
        SetTextColor(dc, static_cast<COLORREF>(text));
    }
    if (background != NO_COLOR) {
        SetBkColor(dc, static_cast<COLORREF>(background));
        return static_cast<LRESULT>(gadget->kind_slot_3);
    }
    SetBkColor(dc, GetSysColor(system_color));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(system_color));
}
