// Where the unattended log goes. Deployment tools collect it from a place
// of their choosing (/LOG=, checked in log_path.cpp); without one it goes
// to the user's TEMP folder. Without TEMP there is no log rather than one
// in the root of the current drive, and the run goes on. Either place may
// be the user's: the log is created new (file_create_new), never written
// through a link put at its name. A running setup holds its log without
// sharing, so a second setup refused with 1618 cannot clear that log for
// its own.
#include "installer/unattended/unattended_log.h"
#include "installer/names.h"
#include "installer/options.h"
#include "installer/unattended/log_path.h"
#include "process/launch.h"
#include "runtime/strings.h"

bool unattended_log_open() {
    if (g_options.log != nullptr) {
        return log_path_open(g_options.log);
    }
    TempScope path;
    env_get(L"TEMP", path.start);
    if (string_length(path.text()) > 0) {
        temp_append(L"\\");
        temp_append(LOG_FILE);
        log_path_create(path.text());
    }
    return true;
}
