// What the launcher does as the user after the elevated copy has ended.
#include "installer/all_users/user_settings_step.h"
#include "installer/launcher/launcher.h"

// An all-users installation writes no settings file for the user who
// started it (the elevated copy may run as another account): the per-user
// step writes it now rather than at the next logon. The interactive
// installer ends with 0 whatever happened, so the record is the signal.
void launcher_after_elevated_copy() {
    if (user_settings_step_needed()) {
        user_settings_step_run();
    }
}
