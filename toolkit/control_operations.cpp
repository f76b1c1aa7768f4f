// The general operations on any control: each goes through the kind's
// operation table and falls back to the general behaviour.
#include <windows.h>
#include "toolkit/control_core.h"
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "runtime/strings.h"

HWND control_handle(int64_t id) {
    GadgetObject* gadget = control_record(id);
    return gadget ? gadget->hwnd : nullptr;
}

int64_t control_hide(int64_t id, int32_t hide) {
    GadgetObject* gadget = control_record(id);
    if (!gadget) {
        return 0;
    }
    if (gadget->kind_ops->hide) {
        return gadget->kind_ops->hide(gadget, hide);
    }
    ShowWindow(gadget->hwnd, hide ? SW_HIDE : SW_SHOW);
    return 1;
}

int64_t control_disable(int64_t id, int32_t disable) {
    GadgetObject* gadget = control_record(id);
    if (!gadget) {
        return 0;
    }
    EnableWindow(gadget->hwnd, disable ? FALSE : TRUE);
    return 1;
}

// Setting by program never reports back as a user's change.
int64_t control_set_text(int64_t id, const wchar_t* text) {
    GadgetObject* gadget = control_record(id);
    if (!gadget) {
        return 0;
    }
    const wchar_t* value = text ? text : L"";
    events_suppress();
    int64_t result = 1;
    if (gadget->kind_ops->set_text) {
        result = gadget->kind_ops->set_text(gadget, value);
    } else {
        SetWindowTextW(gadget->hwnd, value);
    }
    events_resume();
    return result;
}

// The length may shrink between the two calls; the text written is cut at
// what GetWindowTextW really copied.
void control_get_text(int64_t id, int64_t out) {
    GadgetObject* gadget = control_record(id);
    if (!gadget) {
        temp_reserve(0, out);
        return;
    }
    if (gadget->kind_ops->get_text) {
        gadget->kind_ops->get_text(gadget, out);
        return;
    }
    int32_t length = GetWindowTextLengthW(gadget->hwnd);
    length = length < 0 ? 0 : length;
    wchar_t* target = temp_reserve(length, out);
    if (!target) {
        temp_reserve(0, out);
        return;
    }
    int32_t copied = GetWindowTextW(gadget->hwnd, target, length + 1);
    copied = copied < 0 ? 0 : copied;
    target[copied] = 0;
    temp_give_back(length - copied);
}

int64_t control_set_state(int64_t id, int64_t state) {
    GadgetObject* gadget = control_record(id);
    if (!gadget || !gadget->kind_ops->set_state) {
        return 0;
    }
    events_suppress();
    int64_t result = gadget->kind_ops->set_state(gadget, state);
    events_resume();
    return result;
}

int64_t control_get_state(int64_t id) {
    GadgetObject* gadget = control_record(id);
    if (!gadget || !gadget->kind_ops->get_state) {
        return 0;
    }
    return gadget->kind_ops->get_state(gadget);
}

int64_t control_get_attribute(int64_t id, int64_t attribute) {
    GadgetObject* gadget = control_record(id);
    if (!gadget || !gadget->kind_ops->get_attribute) {
        return 0;
    }
    return gadget->kind_ops->get_attribute(gadget, attribute);
}

int64_t control_set_attribute(int64_t id, int64_t attribute, int64_t value) {
    GadgetObject* gadget = control_record(id);
    if (!gadget || !gadget->kind_ops->set_attribute) {
        return 0;
    }
    return gadget->kind_ops->set_attribute(gadget, attribute, value);
}

int64_t control_set_color(int64_t id, int32_t which, int64_t color) {
    GadgetObject* gadget = control_record(id);
    if (!gadget || !gadget->kind_ops->set_color) {
        return 0;
    }
    return gadget->kind_ops->set_color(gadget, which, color);
}

int64_t control_get_color(int64_t id, int32_t which) {
    GadgetObject* gadget = control_record(id);
    if (!gadget || !gadget->kind_ops->get_color) {
        return 0;
    }
    return gadget->kind_ops->get_color(gadget, which);
}

int64_t control_list_open(int64_t id) {
    GadgetObject* gadget = control_record(id);
    if (!gadget || !gadget->kind_ops->open_list) {
        return 0;
    }
    return gadget->kind_ops->open_list(gadget, 0);
}
