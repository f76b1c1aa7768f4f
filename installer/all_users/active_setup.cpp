// HKLM\Software\Microsoft\Active Setup\Installed Components\PikeHarbour,
// 64-bit view. At logon Windows runs StubPath for each user whose own
// stamp (in HKCU) is missing or older than Version, then stamps the user:
// the step is run once, whatever its exit code.
#include "installer/all_users/active_setup.h"
#include <windows.h>
#include <stdio.h>
#include <wchar.h>
#include "installer/names.h"
#include "product_version.h"

void active_setup_version(const wchar_t* display_version, wchar_t* out) {
    unsigned long parts[4] = {0, 0, 0, 0};
    const wchar_t* at = display_version;
    for (int index = 0; index < 4; index++) {
        while (*at != 0 && (*at < L'0' || *at > L'9')) {
            at++;
        }
        unsigned long value = 0;
        while (*at >= L'0' && *at <= L'9') {
            value = value < 100000 ? value * 10 + (unsigned long)(*at - L'0') : value;
            at++;
        }
        parts[index] = value;
    }
    _snwprintf(out, 47, L"%lu,%lu,%lu,%lu", parts[0], parts[1], parts[2], parts[3]);
    out[47] = 0;
}

static bool set_text(HKEY key, const wchar_t* name, const wchar_t* value) {
    DWORD bytes = (DWORD)((wcslen(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) ==
           ERROR_SUCCESS;
}

bool active_setup_register(const wchar_t* command) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, ACTIVE_SETUP_KEY, 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    wchar_t version[48];
    active_setup_version(PH_DISPLAY_VERSION, version);
    DWORD installed = 1;
    bool ok = set_text(key, nullptr, L"PikeHarbour");
    ok = set_text(key, L"StubPath", command) && ok;
    ok = set_text(key, L"Version", version) && ok;
    ok = RegSetValueExW(key, L"IsInstalled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&installed),
                        sizeof installed) == ERROR_SUCCESS && ok;
    RegCloseKey(key);
    return ok;
}

LSTATUS active_setup_unregister() {
    LSTATUS status = RegDeleteKeyExW(HKEY_LOCAL_MACHINE, ACTIVE_SETUP_KEY, KEY_WOW64_64KEY, 0);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}
