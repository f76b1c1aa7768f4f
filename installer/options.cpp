// The parameters after "-admin": names in any case, values as given.
#include "installer/options.h"
#include <wchar.h>
#include "installer/all_users/install_scope.h"
#include "process/command_line.h"
#include "runtime/strings.h"

SetupOptions g_options;

// `lower` starts with `prefix`; the value follows at *rest_at.
static bool starts_with(const wchar_t* lower, const wchar_t* prefix, int64_t* rest_at) {
    int64_t length = string_length(prefix);
    *rest_at = length;
    return string_length(lower) >= length && wcsncmp(lower, prefix, length) == 0;
}

static bool take_language(const wchar_t* value) {
    if (string_equal(value, L"de")) {
        g_options.language = 0;
        return true;
    }
    if (string_equal(value, L"en")) {
        g_options.language = 1;
        return true;
    }
    return false;
}

bool options_is_silent_flag(const wchar_t* parameter) {
    return _wcsicmp(parameter != nullptr ? parameter : L"", L"/s") == 0;
}

// A /D= or /LOG= value: the parameter from `rest` on; false when it is
// empty.
static bool take_value(const wchar_t* parameter, int64_t rest, wchar_t** value) {
    if (string_length(parameter) <= rest) {
        return false;
    }
    string_assign(value, parameter + rest);
    return true;
}

// One parameter; false when it is unknown or malformed.
static bool take_parameter(const wchar_t* parameter) {
    wchar_t* lower = nullptr;
    int64_t at = temp_position();
    string_lower(parameter, at);
    string_assign_temp(&lower, at);
    int64_t rest = 0;
    bool known = true;
    if (options_is_silent_flag(parameter)) {
        g_options.unattended = true;
    } else if (string_equal(lower, L"/remove")) {
        g_options.remove = true;
    } else if (string_equal(lower, L"/allowdowngrade")) {
        g_options.allow_downgrade = true;
    } else if (string_equal(lower, L"/closeapplications")) {
        g_options.close_applications = true;
    } else if (starts_with(lower, L"/d=", &rest)) {
        known = take_value(parameter, rest, &g_options.target);
    } else if (starts_with(lower, L"/log=", &rest)) {
        known = take_value(parameter, rest, &g_options.log);
    } else if (starts_with(lower, L"/lang=", &rest)) {
        known = take_language(lower + rest);
    } else if (install_scope_take_parameter(parameter, &known)) {
        // /ALLUSERS, /CURRENTUSER, /USER=: also read without /S.
    } else {
        known = false;
    }
    string_free(lower);
    return known;
}

bool options_parse() {
    g_options.language = -2;
    int32_t count = program_parameter_count();
    bool valid = true;
    for (int32_t index = 1; index < count; index++) {
        wchar_t* parameter = nullptr;
        int64_t at = temp_position();
        program_parameter(index, at);
        string_assign_temp(&parameter, at);
        valid = take_parameter(parameter) && valid;
        string_free(parameter);
    }
    // Without /S the interactive installer runs as always and ignores what
    // follows "-admin", but for /REMOVE, which selects removal.
    if (!g_options.unattended) {
        SetupOptions interactive = {};
        interactive.remove_requested = g_options.remove;
        interactive.language = -2;
        string_free(g_options.target);
        string_free(g_options.log);
        g_options = interactive;
        return true;
    }
    return valid;
}
