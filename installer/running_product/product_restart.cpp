// The restart of a product that a reinstall closed.
//
// Why it is split this way: the elevated copy must never start the product
// (it would run elevated), and must take no path to start from anything the
// user controls. So the only thing that crosses from the elevated copy to
// the launcher is one bit, "this run closed the product in your session and
// installed it", through an event the launcher made before the elevated
// copy could finish. Its name is derived from the elevated copy's process
// id, which the elevated copy knows of itself: it reads no parameter, file
// or registry value for it, and setting an event is all it does with the
// name, whoever made it. The bit is no exit code, so the exit codes keep
// their meaning. The launcher, running as the user, then starts only the
// product file at the folder recorded for this user (the settings file it
// reads as that user, or the all-users record in HKLM): nothing the user
// could not start by hand. A name
// someone made before the launcher makes CreateEvent report that it
// existed: the launcher then does not restart anything. Should an
// installation end before the launcher made the event (it is made right
// after the start returns), the elevated copy finds none and nothing is
// restarted.
#include "installer/running_product/product_restart.h"
#include <sddl.h>
#include <stdlib.h>
#include "files/filesystem.h"
#include "installer/all_users/all_users_record.h"
#include "installer/names.h"
#include "installer/session.h"
#include "installer/settings_file.h"
#include "installer/text.h"
#include "process/launch.h"
#include "process/token_identity.h"
#include "runtime/strings.h"

static void event_name(DWORD process_id, wchar_t* name) {
    wchar_t number[16];
    _ultow(process_id, number, 10);
    lstrcpyW(name, L"Local\\PikeHarbourSetup.Restart.");
    lstrcatW(name, number);
}

void product_restart_signal() {
    if (!g_session.product_closed_here) {
        return;
    }
    wchar_t name[64];
    event_name(GetCurrentProcessId(), name);
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
    if (event != nullptr) {
        SetEvent(event);
        CloseHandle(event);
    }
}

// The user who starts the launcher owns the event; administrators (the
// elevated copy may run as another account, an administrator who typed
// their credentials) may only set it.
HANDLE product_restart_watch(HANDLE elevated) {
    DWORD id = GetProcessId(elevated);
    if (id == 0) {
        return nullptr;
    }
    wchar_t name[64];
    event_name(id, name);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            L"D:(A;;GA;;;OW)(A;;GA;;;SY)(A;;0x100002;;;BA)", SDDL_REVISION_1,
            &attributes.lpSecurityDescriptor, nullptr)) {
        return nullptr;
    }
    HANDLE event = CreateEventW(&attributes, TRUE, FALSE, name);
    bool existed = event != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    LocalFree(attributes.lpSecurityDescriptor);
    if (existed) {
        CloseHandle(event);
        return nullptr;
    }
    return event;
}

// The folder of the installation this user runs: the all-users record in
// HKLM (writable only by administrators), else the user's settings file.
static void recorded_folder(wchar_t** folder) {
    AllUsersRecord record;
    if (all_users_record_read(&record)) {
        string_assign(folder, record.folder);
        return;
    }
    wchar_t* settings_folder = nullptr;
    settings_folder_of_account(&settings_folder);
    settings_file_folder(settings_folder, folder);
    string_free(settings_folder);
}

static void start_recorded_product() {
    wchar_t* folder = nullptr;
    recorded_folder(&folder);
    wchar_t* product = nullptr;
    text_assign(&product, folder, PRODUCT_FILE);
    wchar_t* line = nullptr;
    text_assign(&line, L"\"", product, L"\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (string_length(folder) > 0 && path_size(product) > 0 &&
        CreateProcessW(product, line, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    string_free(line);
    string_free(product);
    string_free(folder);
}

// An elevated token or a service account would start the product with
// rights the user's own start never has.
void product_restart_after(HANDLE watch, int64_t exit_code) {
    if (watch == nullptr) {
        return;
    }
    bool raised = WaitForSingleObject(watch, 0) == WAIT_OBJECT_0;
    CloseHandle(watch);
    if (raised && exit_code == 0 && !token_is_elevated() && !token_is_service_account()) {
        start_recorded_product();
    }
}
