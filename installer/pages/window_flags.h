// The flags the setup's window and its larger controls are made with; the
// tree bench and the toolkit tests make theirs alike.
#pragma once
#include <windows.h>
#include <stdint.h>
#include "toolkit/controls.h"
#include "toolkit/windows.h"

// Caption, system menu and minimize box, centred in the work area.
constexpr uint32_t SETUP_WINDOW_FLAGS =
    WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WINDOW_CENTRE_SCREEN;
// The folder page's tree: folders only, sorted, no documents item, the
// selection always shown, no lines.
constexpr uint32_t SETUP_TREE_FLAGS = TREE_FOLDERS_ONLY | TREE_SORTED | TREE_NO_DOCUMENTS |
                                      TREE_SHOW_SELECTION_ALWAYS | TREE_NO_LINES;
// The agreement: read-only, wrapped.
constexpr uint32_t SETUP_AGREEMENT_FLAGS = TEXT_VIEW_READ_ONLY | TEXT_VIEW_WORD_WRAP;
