// Stays though nothing asks its two answers: a step of the start order fills them here.
// Drawing support: AlphaBlend from msimg32 and the visual-style flag. Every
// library is loaded from the system directory only, so a DLL of the same
// name next to the installer is never picked up.
#include <windows.h>
#include <stdint.h>
#include "runtime/libraries.h"
#include "toolkit/common_controls_6.h"

typedef BOOL(WINAPI* AlphaBlendFunction)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* IsAppThemedFunction)();

static HMODULE g_msimg32;
static AlphaBlendFunction g_alpha_blend;
static int32_t g_visual_styles;

static HMODULE system_library_load(const wchar_t* name) {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

static int32_t app_themed() {
    HMODULE uxtheme = system_library_load(L"uxtheme.dll");
    if (uxtheme == nullptr) {
        return 0;
    }
    IsAppThemedFunction is_app_themed = (IsAppThemedFunction)GetProcAddress(uxtheme, "IsAppThemed");
    int32_t themed = is_app_themed != nullptr && is_app_themed() != FALSE;
    FreeLibrary(uxtheme);
    return themed;
}

void drawing_support_start() {
    g_msimg32 = system_library_load(L"msimg32.dll");
    g_alpha_blend = nullptr;
    if (g_msimg32 != nullptr) {
        g_alpha_blend = (AlphaBlendFunction)GetProcAddress(g_msimg32, "AlphaBlend");
    }
    g_visual_styles = app_themed() && common_controls_6_active();
}

void drawing_support_end() {
    if (g_msimg32 != nullptr) {
        FreeLibrary(g_msimg32);
    }
    g_msimg32 = nullptr;
    g_alpha_blend = nullptr;
}

int32_t drawing_support_visual_styles() {
    return g_visual_styles;
}

int32_t drawing_support_has_alpha_blend() {
    return g_alpha_blend != nullptr;
}
