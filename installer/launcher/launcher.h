// The launcher role: started by the user, it starts the installer role
// (elevated), waits for it, and then does what has to run as the user.
#pragma once

[[noreturn]] void run_launcher();
// Runs in the launcher, as the user who started it, once the elevated
// copy has ended (or could not be started). The place for everything that
// belongs to the user's own session after an installation or removal.
void launcher_after_elevated_copy();
