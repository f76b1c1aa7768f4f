// The Uninstall entry: one key in the current user's hive, 64-bit view.
// Per user, like the settings file, the shortcut and the safety copy: a
// per-machine entry would offer removal to users whose profile holds none
// of them. An all-users installation has its entry in HKLM.
#include "installer/install/apps_features_entry.h"
#include <windows.h>
#include <stdio.h>
#include "embedded_checksums.h"
#include "files/filesystem.h"
#include "installer/all_users/install_scope.h"
#include "installer/dialogs.h"
#include "installer/names.h"
#include "installer/session.h"
#include "installer/text.h"
#include "product_version.h"
#include "runtime/strings.h"

static bool set_text(HKEY key, const wchar_t* name, const wchar_t* value) {
    DWORD bytes = (DWORD)((string_length(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, (const BYTE*)value, bytes) == ERROR_SUCCESS;
}

static bool set_number(HKEY key, const wchar_t* name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value) ==
           ERROR_SUCCESS;
}

// The local date as YYYYMMDD.
static bool set_install_date(HKEY key) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t date[16];
    _snwprintf(date, 15, L"%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    date[15] = 0;
    return set_text(key, L"InstallDate", date);
}

// The two removal commands start the safety copy by its quoted path.
static bool set_commands(HKEY key, const wchar_t* copy) {
    BuiltText remove = text_join(L"\"", copy, L"\" /REMOVE");
    bool ok = set_text(key, L"UninstallString", remove.text);
    text_release(remove);
    BuiltText quiet = text_join(L"\"", copy, L"\" /S /REMOVE");
    ok = set_text(key, L"QuietUninstallString", quiet.text) && ok;
    text_release(quiet);
    return ok;
}

// The product's size in KiB, rounded up.
static DWORD product_kib() {
    return (DWORD)(((int64_t)EMBEDDED_PRODUCT_LENGTH + 1023) / 1024);
}

static bool set_values(HKEY key, const wchar_t* folder, const wchar_t* copy) {
    bool ok = set_text(key, L"DisplayName", L"PikeHarbour");
    ok = set_text(key, L"DisplayVersion", PH_DISPLAY_VERSION) && ok;
    ok = set_text(key, L"Publisher", L"Velmar-Consulting") && ok;
    BuiltText icon = text_join(folder, PRODUCT_FILE, L",0");
    ok = set_text(key, L"DisplayIcon", icon.text) && ok;
    text_release(icon);
    ok = set_text(key, L"InstallLocation", folder) && ok;
    ok = set_commands(key, copy) && ok;
    ok = set_number(key, L"EstimatedSize", product_kib()) && ok;
    ok = set_install_date(key) && ok;
    ok = set_number(key, L"NoModify", 1) && ok;
    return set_number(key, L"NoRepair", 1) && ok;
}

static HKEY entry_root() {
    return install_scope_all_users() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

static bool write_entry(const wchar_t* folder, const wchar_t* copy) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(entry_root(), UNINSTALL_KEY, 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool ok = set_values(key, folder, copy);
    RegCloseKey(key);
    return ok;
}

// The copy's path is kept outside the temporary buffer: the values are
// built there while it is in use.
void apps_features_entry_write(const wchar_t* folder) {
    wchar_t* copy = nullptr;
    text_assign(&copy, g_session.backup_folder, SETUP_FILE);
    const wchar_t* result = L"not written: no safety copy";
    if (string_length(g_session.backup_folder) > 0 && path_size(copy) > 0) {
        result = write_entry(folder, copy) ? L"written" : L"could not be written";
    }
    string_free(copy);
    installer_log(L"Apps & features entry", result);
}

bool apps_features_entry_delete() {
    LSTATUS status = RegDeleteKeyExW(entry_root(), UNINSTALL_KEY, KEY_WOW64_64KEY, 0);
    installer_log(L"Apps & features entry",
                  status == ERROR_SUCCESS ? L"deleted"
                  : status == ERROR_FILE_NOT_FOUND ? L"none" : L"could not be deleted");
    SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
