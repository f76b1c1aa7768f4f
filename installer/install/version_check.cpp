// The installed version against this setup's, before anything is changed.
#include "installer/install/version_check.h"
#include <windows.h>
#include "installer/all_users/install_scope.h"
#include "installer/dialogs.h"
#include "installer/install/version_compare.h"
#include "installer/names.h"
#include "installer/options.h"
#include "installer/session.h"
#include "installer/text.h"
#include "product_version.h"
#include "runtime/strings.h"
#include "toolkit/message_box.h"

// A REG_SZ value of at most 63 characters, terminated by RegGetValueW; a
// longer one is no version.
static bool read_version(HKEY root, wchar_t** version) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, UNINSTALL_KEY, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    wchar_t value[64];
    DWORD bytes = sizeof value;
    bool found = RegGetValueW(key, nullptr, L"DisplayVersion", RRF_RT_REG_SZ, nullptr, value,
                              &bytes) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (found) {
        string_assign(version, value);
    }
    return found;
}

// The entry of the installation this run maintains: the all-users one in
// HKLM, which only administrators write; the user's own in HKCU, which that
// user writes, so it speaks for nothing but their own installation.
bool version_check_installed(wchar_t** version) {
    if (g_session.found.installed == 0) {
        return false;
    }
    return read_version(install_scope_all_users() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                        version);
}

static bool ask_downgrade(const wchar_t* installed) {
    BuiltText text = text_join(
        text_pick(L"Auf diesem Computer ist Pikeharbour ", L"Pikeharbour "), installed,
        text_pick(L" installiert, neuer als diese Version " PH_DISPLAY_VERSION
                  L".\n\nMöchten Sie die ältere Version trotzdem installieren?",
                  L" is installed on this computer, newer than this setup's version "
                  PH_DISPLAY_VERSION L".\n\nDo you want to install the older version anyway?"));
    // No is the default button: Enter alone must not downgrade. Escape and
    // the close box answer IDCANCEL under Wine: no consent either.
    bool yes = message_box(L"Pikeharbour Setup Warning", text.text,
                           MESSAGE_BOX_DEFAULT_NO | MB_ICONWARNING) == IDYES;
    text_release(text);
    return yes;
}

bool version_check_allows_install() {
    wchar_t* installed = nullptr;
    bool allowed = true;
    if (version_check_installed(&installed) &&
        version_compare(installed, PH_DISPLAY_VERSION) == VERSION_NEWER) {
        if (!g_session.unattended) {
            allowed = ask_downgrade(installed);
        } else if (g_options.allow_downgrade) {
            BuiltText line = text_join(L"installed ", installed, L" is newer; /ALLOWDOWNGRADE given");
            installer_log(L"Version", line.text);
            text_release(line);
        } else {
            BuiltText line = text_join(L"installed ", installed,
                                       L" is newer than " PH_DISPLAY_VERSION
                                       L"; nothing changed (/ALLOWDOWNGRADE installs it)");
            installer_log(L"Version", line.text);
            text_release(line);
            allowed = false;
        }
    }
    string_free(installed);
    return allowed;
}
