// Unattended mode for deployment tools: parameters after "-admin".
#pragma once
#include <stdint.h>

enum : int32_t {
    EXIT_SUCCESS_CODE = 0,
    EXIT_NOT_STARTED = 1,       // launcher: the elevated copy could not be started
    EXIT_DAMAGED_SETUP = 2,
    EXIT_FOLDER_FAILED = 3,
    EXIT_WRITE_FAILED = 4,
    EXIT_BAD_PARAMETER = 5,
    EXIT_PRODUCT_IN_USE = 6,    // the product executable could not be deleted or replaced
    EXIT_NOT_RECORDED = 7,      // the installation could not be recorded; taken back
    EXIT_SETTINGS_UNUSABLE = 9, // the settings file cannot be used; nothing of the product deleted
    EXIT_ANOTHER_SETUP = 1618,  // the code deployment tools retry on
    EXIT_LOG_REFUSED = 1622,    // the /LOG= file could not be created or is not ours
    EXIT_NEWER_INSTALLED = 1638,  // a newer version is installed
};

[[noreturn]] void run_unattended();
// Logs the exit code and ends with it.
[[noreturn]] void unattended_finish(int32_t code);
