// Option groups as the native buttons see them: an option with WS_GROUP
// starts a group, the options that follow it among their siblings belong to
// it until the next WS_GROUP or the first sibling that is no option.
// Internal to the toolkit.
#pragma once
#include <windows.h>

// Whether `hwnd` is a radio button (any toolkit option, or a native one).
bool option_group_is_option(HWND hwnd);
// The first option of the group `option` belongs to.
HWND option_group_start(HWND option);
// The option after `option` in its group, or null at the group's end.
HWND option_group_next(HWND option);
// The next option of the same group after `option` (before it for
// `backwards`), wrapping at both ends; hidden and disabled options are
// skipped. Null when there is no other.
HWND option_group_step(HWND option, bool backwards);
// Where the keyboard enters the group: its checked option, or its first when
// none is checked (hidden and disabled ones never). Null when none can.
HWND option_group_entry(HWND option);
