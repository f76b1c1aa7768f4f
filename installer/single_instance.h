// One installer at a time: a named mutex held for the installer role's life.
#pragma once

// Takes the mutex; false when another setup holds it.
bool single_instance_take();
// Brings the running setup's window to the front; false when none is
// found (another session's, or one still starting).
bool single_instance_show_other();
