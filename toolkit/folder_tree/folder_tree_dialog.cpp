// The drive-not-ready dialog: a small modeless dialog, built in memory, that
// tells the user to insert a medium. It shows the drive's icon, disables the
// tree while open and enables it again when it closes.
#include "toolkit/folder_tree/folder_tree.h"
#include <shellapi.h>
#include <wchar.h>

enum : int32_t { NOT_READY_TEXT = 12291, NOT_READY_ICON = 12297 };
// A dialog item names its class by atom after this marker; the headers
// name neither the marker nor the atoms of the system classes.
enum : WORD { ORDINAL_MARKER = 0xFFFF, ATOM_BUTTON = 0x0080, ATOM_STATIC = 0x0082 };

struct DialogBuilder {
    WORD words[512];
    int32_t used;
};

static void put_word(DialogBuilder* builder, WORD value) {
    if (builder->used < 512) {
        builder->words[builder->used++] = value;
    }
}

static void put_text(DialogBuilder* builder, const wchar_t* text) {
    do {
        put_word(builder, static_cast<WORD>(*text));
    } while (*text++);
}

static void put_block(DialogBuilder* builder, const void* block, size_t bytes) {
    const WORD* words = static_cast<const WORD*>(block);
    for (size_t i = 0; i < bytes / sizeof(WORD); i++) {
        put_word(builder, words[i]);
    }
}

static void align_dword(DialogBuilder* builder) {
    if (builder->used % 2) {
        put_word(builder, 0);
    }
}

static void put_item(DialogBuilder* builder, DWORD style, short x, short y, short cx, short cy,
                     WORD id, WORD class_atom, const wchar_t* text) {
    align_dword(builder);
    DLGITEMTEMPLATE item = {WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy, id};
    put_block(builder, &item, sizeof(item));
    put_word(builder, ORDINAL_MARKER);
    put_word(builder, class_atom);
    put_text(builder, text);
    put_word(builder, 0);    // no creation data
}

static const DLGTEMPLATE* build_template(DialogBuilder* builder) {
    builder->used = 0;
    DLGTEMPLATE header = {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT |
                              DS_CENTER,
                          0, 3, 0, 0, 230, 70};
    put_block(builder, &header, sizeof(header));
    put_word(builder, 0);    // no menu
    put_word(builder, 0);    // standard dialog class
    put_text(builder, L"Drive not ready");
    put_word(builder, 8);
    put_text(builder, L"MS Shell Dlg");
    put_item(builder, SS_ICON, 10, 10, 21, 20, NOT_READY_ICON, ATOM_STATIC, L"");
    put_item(builder, SS_LEFT, 40, 10, 180, 30, NOT_READY_TEXT, ATOM_STATIC,
             L"There is no medium in drive %s. Insert a medium into the drive.");
    put_item(builder, BS_DEFPUSHBUTTON | WS_TABSTOP, 170, 48, 50, 14, IDCANCEL, ATOM_BUTTON,
             L"Cancel");
    return reinterpret_cast<const DLGTEMPLATE*>(builder->words);
}

// Fills the drive letter into a text holding exactly one "%".
static void format_text(HWND dialog, int32_t drive) {
    wchar_t text[512];
    wchar_t result[600];
    GetDlgItemTextW(dialog, NOT_READY_TEXT, text, 512);
    const wchar_t* percent = wcschr(text, L'%');
    if (!percent || wcschr(percent + 1, L'%')) {
        return;
    }
    wchar_t letter = static_cast<wchar_t>(L'A' + drive);
    if (percent[1] == L'c') {
        swprintf(result, 600, L"%.*ls%lc%ls", static_cast<int>(percent - text), text, letter,
                 percent + 2);
    } else if (percent[1] == L's') {
        swprintf(result, 600, L"%.*ls%lc:%ls", static_cast<int>(percent - text), text, letter,
                 percent + 2);
    } else {
        return;
    }
    SetDlgItemTextW(dialog, NOT_READY_TEXT, result);
}

static void on_init(HWND dialog, FolderTreeData* data) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    SendDlgItemMessageW(dialog, NOT_READY_ICON, STM_SETIMAGE, IMAGE_ICON,
                        reinterpret_cast<LPARAM>(data->not_ready_icon));
    format_text(dialog, data->not_ready_drive);
    EnableWindow(data->tree, FALSE);
}

static void on_destroy(HWND dialog) {
    FolderTreeData* data =
        reinterpret_cast<FolderTreeData*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!data || data->not_ready_dialog != dialog) {
        return;
    }
    if (data->not_ready_icon) {
        DestroyIcon(data->not_ready_icon);
    }
    data->not_ready_icon = nullptr;
    data->not_ready_dialog = nullptr;
    EnableWindow(data->tree, TRUE);
}

static INT_PTR CALLBACK not_ready_procedure(HWND dialog, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        on_init(dialog, reinterpret_cast<FolderTreeData*>(lparam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) {
            DestroyWindow(dialog);
        }
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        on_destroy(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

void folder_tree_open_not_ready(FolderTreeData* data, int32_t drive) {
    if (data->not_ready_dialog) {
        return;
    }
    wchar_t root[4] = {static_cast<wchar_t>(L'A' + drive), L':', L'\\', 0};
    SHFILEINFOW info = {};
    SHGetFileInfoW(root, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON);
    data->not_ready_icon = info.hIcon;
    data->not_ready_drive = drive;
    static DialogBuilder builder;
    const DLGTEMPLATE* dialog_template = build_template(&builder);
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog_template,
                                             g_folder_tree.hooked_window, not_ready_procedure,
                                             reinterpret_cast<LPARAM>(data));
    data->not_ready_dialog = dialog;
    if (!dialog) {
        DestroyIcon(data->not_ready_icon);
        data->not_ready_icon = nullptr;
        EnableWindow(data->tree, TRUE);
        return;
    }
    ShowWindow(dialog, SW_SHOW);
}

void folder_tree_close_not_ready(FolderTreeData* data) {
    if (data->not_ready_dialog) {
        DestroyWindow(data->not_ready_dialog);
    }
}
