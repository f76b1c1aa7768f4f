// The window's four pages. Each page file holds its controls, its texts
// and its handlers; window.cpp creates the first two, names the controls
// and hands every control event to the page that owns the control.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include "installer/session.h"

// One control of a page and what its event does.
struct PageRow {
    int64_t* control;
    void (*handler)();
};
// Runs the handler of the row naming `control`; false when none does (a
// page not built yet has no controls: its rows hold 0, never an event's).
bool page_dispatch(const PageRow* rows, size_t count, int64_t control);
template <size_t N>
bool page_dispatch(const PageRow (&rows)[N], int64_t control) {
    return page_dispatch(rows, N, control);
}
// Names for screen readers, in the page's language, of every control made
// so far that shows no caption of its own.
void pages_name_controls();
// Every page's Cancel button: asks, and ends the program on Yes.
void pages_ask_cancel();

// The language page: the only one visible at start.
void language_page_create();
// A language recorded by the installation found is selected (0 or 1).
void language_page_preselect(int64_t language);
int64_t language_page_panel();
bool language_page_event(int64_t control);
void language_page_name_controls();

// The maintenance page (an installation was found), built when first shown.
void maintenance_page_show();
bool maintenance_page_event(int64_t control);

// The agreement page, built when first shown.
void agreement_page_show();
bool agreement_page_event(int64_t control);
void agreement_page_name_controls();

// The folder page: created first (hidden), shown after the agreement.
void folder_page_create();
// The tree starts in `start`, the path field shows `proposal`.
void folder_page_propose(const wchar_t* start, const wchar_t* proposal);
void folder_page_show();
bool folder_page_event(int64_t control);
void folder_page_name_controls();
// What the window asks an installation or a removal for: the path
// field's folder (set to `folder`, freed by the caller) and the chosen
// language.
RunRequest folder_page_request(wchar_t** folder);
