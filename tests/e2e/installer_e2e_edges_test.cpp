// End-to-end scenarios around the main paths: language pre-selection from
// the settings file, cancel and close on every page, path field edge
// cases, the folder tree, and a setup with a damaged picture or product.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <png.h>
#include <fstream>
#include "check_hold.h"
#include "installer_flow.h"
#include "sandbox_files.h"
#include "screenshots.h"

namespace {

std::string settings_text(const std::wstring& folder, int language) {
    return "Programverzeichnis = " + low_bytes(folder) + "\r\nlanguage = " +
           std::to_string(language) + "\r\n";
}

// A settings file is an installation only when its folder holds the
// product: `content` with a last folder line naming such a folder.
std::string installed(const Sandbox& box, const std::string& content) {
    std::wstring folder = box.root + L"Installed\\";
    folder_make(folder);
    file_put(folder + L"Pikeharbour64.exe", "MZ");
    return content + "Programverzeichnis = " + low_bytes(folder) + "\r\n";
}

void expect_cancel_refused(Setup& setup, Control cancel, Language language, Page page,
                           const std::string& shot = "") {
    control_click(setup, cancel);
    expect_box(setup, L"PikeHarbour Installation", page_texts[language].cancel_question, IDNO,
               shot);
    EXPECT_TRUE(page_shown(setup, page)) << page_names[page];
}

void expect_cancel_accepted(Setup& setup, Control cancel, Language language) {
    control_click(setup, cancel);
    expect_box(setup, L"PikeHarbour Installation", page_texts[language].cancel_question, IDYES);
    EXPECT_EQ(setup_wait_exit(setup), 0);
}

}  // namespace

// The settings file of an installation decides the pre-selected language;
// only "language" is read, in any case, with spaces around key and value.
// (A second folder line would make the file unusable: see the unattended
// tests.)
TEST(InstallerE2E, LanguagePreselectedFromSettingsFile) {
    struct Variant {
        const char* content;
        int checked;  // -1: no option
        Language later_texts;
    };
    const Variant variants[] = {
        {"Language=1\r\n", ENGLISH, ENGLISH},
        {"  LANGUAGE   =   1  \r\n", ENGLISH, ENGLISH},
        {"Werkzeuge = D:\\Tools\\\r\nlanguage = 0\r\n", GERMAN, GERMAN},
        {"language = abc\r\n", GERMAN, GERMAN},
        {"language = 5\r\n", -1, ENGLISH},
        {"language = 1\r\nlanguage = 0\r\n", GERMAN, GERMAN},
        {"\tlanguage = 0\r\n", -1, ENGLISH},
    };
    Sandbox box = sandbox_make("preselect");
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.content);
        file_put(box.settings_file, installed(box, v.content));
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        expect_page(setup, LANGUAGE_PAGE, ENGLISH);
        EXPECT_EQ(control_checked(setup, GERMAN_OPTION), v.checked == GERMAN);
        EXPECT_EQ(control_checked(setup, ENGLISH_OPTION), v.checked == ENGLISH);
        const wchar_t* next = v.checked < 0 ? L"" : page_texts[v.checked].next;
        EXPECT_EQ(utf8(control_text(setup, LANGUAGE_NEXT_BUTTON)), utf8(next));
        // The folder line is never taken: the proposal comes from ProgramFiles.
        EXPECT_EQ(utf8(control_text(setup, PATH_FIELD)),
                  utf8(box.program_files + L"\\PikeHarbour\\"));
        control_click(setup, LANGUAGE_NEXT_BUTTON);
        expect_page(setup, MAINTENANCE_PAGE, v.later_texts);
        setup_close_box(setup);
        EXPECT_EQ(setup_wait_exit(setup), 0);
    }
}

// The window is never on screen with an incomplete first page: polled
// every millisecond while the setup starts, its first visible state already
// holds the language page with its texts, and the buttons carry the
// captions of the settings file's language (none without one).
TEST(InstallerE2E, WindowAppearsWithCompleteFirstPage) {
    struct Variant {
        const char* settings;  // null: no settings file
        const char* next;
        const char* cancel;
    };
    const Variant variants[] = {{nullptr, "", ""}, {"language = 0\r\n", "Weiter", "Abbruch"}};
    Sandbox box = sandbox_make("first_frame");
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.next);
        if (v.settings != nullptr) {
            file_put(box.settings_file, installed(box, v.settings));
        }
        Running setup;
        ASSERT_TRUE(setup_launch(setup, setup_exe(), sandbox_environment(box)));
        ASSERT_TRUE(wait_until("the setup window visible",
                [&] { return (setup.window = setup_visible_window(setup)) != nullptr; },
                WAIT_LIMIT_MS, [] { Sleep(1); }));
        // Read without messages, which would wait for the setup to be idle.
        auto caption = [&](Control c) { return utf8(window_caption(setup_control(setup, c))); };
        ASSERT_TRUE(setup_find_controls(setup));
        EXPECT_TRUE(page_shown(setup, LANGUAGE_PAGE));
        EXPECT_EQ(caption(LANGUAGE_LABEL), utf8(LANGUAGE_LABEL_TEXT));
        EXPECT_EQ(caption(GERMAN_OPTION), "Deutsch");
        EXPECT_EQ(caption(ENGLISH_OPTION), "English");
        EXPECT_EQ(caption(LANGUAGE_NEXT_BUTTON), v.next);
        EXPECT_EQ(caption(LANGUAGE_CANCEL_BUTTON), v.cancel);
    }
}

// Cancel asks first: No keeps each page, Yes ends with exit code 0.
TEST(InstallerE2E, CancelOnEveryPage) {
    Sandbox box = sandbox_make("cancel");
    file_put(box.settings_file, installed(box, "language = 0\r\n"));
    {
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        expect_cancel_refused(setup, LANGUAGE_CANCEL_BUTTON, GERMAN, LANGUAGE_PAGE, "de_cancel");
        control_click(setup, LANGUAGE_NEXT_BUTTON);
        expect_page(setup, MAINTENANCE_PAGE, GERMAN);
        expect_cancel_refused(setup, MAINTENANCE_CANCEL_BUTTON, GERMAN, MAINTENANCE_PAGE);
        control_click(setup, MAINTENANCE_NEXT_BUTTON);
        expect_page(setup, AGREEMENT_PAGE, GERMAN);
        expect_cancel_refused(setup, AGREEMENT_CANCEL_BUTTON, GERMAN, AGREEMENT_PAGE);
        accept_agreement(setup, GERMAN);
        expect_cancel_refused(setup, FOLDER_CANCEL_BUTTON, GERMAN, FOLDER_PAGE);
        expect_cancel_accepted(setup, FOLDER_CANCEL_BUTTON, GERMAN);
    }
    {
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        expect_cancel_accepted(setup, LANGUAGE_CANCEL_BUTTON, GERMAN);
    }
    file_put(box.settings_file, installed(box, "language = 1\r\n"));
    {
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        control_click(setup, LANGUAGE_NEXT_BUTTON);
        expect_page(setup, MAINTENANCE_PAGE, ENGLISH);
        expect_cancel_accepted(setup, MAINTENANCE_CANCEL_BUTTON, ENGLISH);
    }
    DeleteFileW(box.settings_file.c_str());
    {
        // No language chosen: the question is English.
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        expect_cancel_refused(setup, LANGUAGE_CANCEL_BUTTON, ENGLISH, LANGUAGE_PAGE, "en_cancel");
        choose_language(setup, ENGLISH);
        control_click(setup, LANGUAGE_NEXT_BUTTON);
        expect_page(setup, AGREEMENT_PAGE, ENGLISH);
        expect_cancel_refused(setup, AGREEMENT_CANCEL_BUTTON, ENGLISH, AGREEMENT_PAGE);
        accept_agreement(setup, ENGLISH);
        expect_cancel_refused(setup, FOLDER_CANCEL_BUTTON, ENGLISH, FOLDER_PAGE);
        expect_cancel_accepted(setup, FOLDER_CANCEL_BUTTON, ENGLISH);
    }
    EXPECT_FALSE(file_exists(box.settings_file));
}

// The close box ends at once, without a question, on any page.
TEST(InstallerE2E, CloseBoxEndsAtOnce) {
    Sandbox box = sandbox_make("close");
    for (Page page : {LANGUAGE_PAGE, AGREEMENT_PAGE, FOLDER_PAGE}) {
        SCOPED_TRACE(page_names[page]);
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        if (page == AGREEMENT_PAGE) {
            choose_language(setup, GERMAN);
            control_click(setup, LANGUAGE_NEXT_BUTTON);
            expect_page(setup, AGREEMENT_PAGE, GERMAN);
        }
        if (page == FOLDER_PAGE) {
            walk_to_folder_page(setup, ENGLISH);
        }
        setup_close_box(setup);
        EXPECT_EQ(setup_wait_exit(setup, 10000), 0);
    }
}

// C:\ and a path too long for Windows install nothing and say that the
// folder could not be created; a target that cannot be written gives M4
// and the user may retry; a 0-byte product raises no M3.
TEST(InstallerE2E, PathFieldEdgeCases) {
    for (Language language : {ENGLISH, GERMAN}) {
        const PageTexts& t = page_texts[language];
        Sandbox box = sandbox_make(language == GERMAN ? "edges_de" : "edges_en");
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        walk_to_folder_page(setup, language);

        control_type(setup, PATH_FIELD, L"C:\\");
        press_install(setup, language);
        expect_box(setup, L"Pikeharbour Setup",
                   std::wstring(t.folder_failed_head) + L"C:\\" + t.folder_failed_tail, IDOK);
        expect_page(setup, FOLDER_PAGE, language);
        EXPECT_FALSE(file_exists(L"C:\\Pikeharbour64.exe"));

        // A product path beyond Windows' 259 characters is refused the same
        // way, before any folder is made.
        std::wstring deep = box.root + L"Deep\\" + std::wstring(240, L'x') + L"\\";
        control_type(setup, PATH_FIELD, deep);
        press_install(setup, language);
        expect_box(setup, L"Pikeharbour Setup",
                   std::wstring(t.folder_failed_head) + deep + t.folder_failed_tail, IDOK);
        expect_page(setup, FOLDER_PAGE, language);
        EXPECT_FALSE(folder_exists(box.root + L"Deep"));

        // A folder with the product's name is in the way: Wine does not
        // enforce read-only folders for root, but no file can be created
        // where a folder stands.
        std::wstring blocked = box.root + L"Blocked\\";
        folder_make(blocked + L"Pikeharbour64.exe");
        control_type(setup, PATH_FIELD, blocked);
        press_install(setup, language);
        expect_box(setup, t.rights_error_title,
                   std::wstring(t.rights_error_head) + blocked + t.rights_error_tail, IDOK,
                   std::string(language == GERMAN ? "de" : "en") + "_m4");
        expect_page(setup, FOLDER_PAGE, language);

        RemoveDirectoryW((blocked + L"Pikeharbour64.exe").c_str());
        file_put(blocked + L"Pikeharbour64.exe", "");
        press_install(setup, language);
        expect_success_and_exit(setup, language);
        EXPECT_TRUE(file_bytes(blocked + L"Pikeharbour64.exe") == product_bytes());
        EXPECT_EQ(file_bytes(box.settings_file), settings_text(blocked, language));
    }
}

// Doubled backslashes: the folders are created collapsed, the product path
// and the settings file keep the text as typed.
TEST(InstallerE2E, DoubledBackslashesInTarget) {
    Sandbox box = sandbox_make("doubled");
    std::wstring typed = L"C:\\\\e2e\\\\doubled\\\\Pike";
    Running setup;
    ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
    walk_to_folder_page(setup, ENGLISH);
    control_type(setup, PATH_FIELD, typed);
    press_install(setup, ENGLISH);
    expect_success_and_exit(setup, ENGLISH);
    EXPECT_TRUE(file_bytes(L"C:\\e2e\\doubled\\Pike\\Pikeharbour64.exe") == product_bytes());
    EXPECT_EQ(file_bytes(box.settings_file), settings_text(typed + L"\\", 1));
}

// Any tree event copies the tree's folder over whatever was typed.
TEST(InstallerE2E, TreeSelectionOverwritesTypedPath) {
    Sandbox box = sandbox_make("tree");
    Running setup;
    ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
    walk_to_folder_page(setup, ENGLISH);
    control_type(setup, PATH_FIELD, L"C:\\typed\\by\\hand\\");
    // The tree opened on the ProgramFiles folder; its parent is the
    // sandbox root.
    HWND tree = setup_control(setup, FOLDER_TREE);
    HWND view = FindWindowExW(tree, nullptr, WC_TREEVIEWW, nullptr);
    if (view == nullptr) {
        view = tree;
    }
    auto caret = reinterpret_cast<HTREEITEM>(SendMessageW(view, TVM_GETNEXTITEM, TVGN_CARET, 0));
    ASSERT_NE(caret, nullptr);
    auto parent = reinterpret_cast<HTREEITEM>(
        SendMessageW(view, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(caret)));
    ASSERT_NE(parent, nullptr);
    PostMessageW(view, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(parent));
    EXPECT_TRUE(wait_until("the sandbox root in the path field",
            [&] { return control_text(setup, PATH_FIELD) == box.root; }))
        << utf8(control_text(setup, PATH_FIELD));
    setup_close_box(setup);
    EXPECT_EQ(setup_wait_exit(setup), 0);
}

namespace {

std::string embedded_picture() {
    std::string list = file_bytes(unix_to_windows(utf8(env_value(L"PH_BINARY_DIR"))) +
                                  L"\\embedded_files.txt");
    size_t first = list.find('\n');
    size_t second = list.find('\n', first + 1);
    return file_bytes(unix_to_windows(list.substr(first + 1, second - first - 1)));
}

// The picture's own pixel, 0xRRGGBB.
unsigned picture_pixel(const std::string& png, int x, int y) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
        return 0xFFFFFFFF;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
    size_t at = (size_t(y) * image.width + x) * 3;
    return (unsigned(rgb[at]) << 16) | (unsigned(rgb[at + 1]) << 8) | rgb[at + 2];
}

// A copy of the setup whose picture block has damaged compressed data: the
// block is found by the PNG signature followed by an IHDR of 982 x 744.
bool write_damaged_copy(const std::wstring& copy) {
    std::string exe = file_bytes(setup_exe());
    const std::string header("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x03\xd6\0\0\x02\xe8", 24);
    size_t png = exe.find(header);
    if (png == std::string::npos) {
        return false;
    }
    size_t idat = exe.find("IDAT", png);
    if (idat == std::string::npos) {
        return false;
    }
    for (size_t i = idat + 20; i < idat + 400; i++) {
        exe[i] = static_cast<char>(exe[i] ^ 0x5A);
    }
    file_put(copy, exe);
    return true;
}

// A copy of the setup with a byte of its product block flipped (the build
// records where the block lies).
bool write_damaged_product_copy(const std::wstring& copy) {
    std::ifstream layout(PH_SETUP_LAYOUT);
    std::string name;
    long offset = 0;
    long length = 0;
    while (layout >> name >> offset >> length && name != "product") {
    }
    std::string exe = file_bytes(setup_exe());
    if (name != "product" || offset + length > (long)exe.size()) {
        return false;
    }
    exe[offset + length / 2] = static_cast<char>(exe[offset + length / 2] ^ 0x5A);
    file_put(copy, exe);
    return true;
}

// The safety copy's bytes, empty when there is none.
std::string backup_bytes() {
    return file_exists(backup_copy_path()) ? file_bytes(backup_copy_path()) : "";
}

// The damaged setup refused at the install step: its message, exit code 2,
// no product folder or settings file, the safety copy as it was before.
void expect_damaged_refused(Running& setup, const Sandbox& box, const std::string& backup_before) {
    expect_box(setup, L"PikeHarbour Setup Error",
               L"Das Setupprogramm ist beschädigt. Bitte laden Sie es erneut herunter.\n"
               L"The setup program is damaged. Please download it again.", IDOK);
    EXPECT_EQ(setup_wait_exit(setup), 2);
    EXPECT_FALSE(folder_exists(box.program_files + L"\\PikeHarbour"));
    EXPECT_FALSE(file_exists(box.settings_file));
    EXPECT_EQ(backup_bytes(), backup_before);
}

}  // namespace

// The window opens while the product block is still being checked; going
// straight to the install step, the damaged block is refused there with the
// message, exit code 2 and nothing written: no folder, settings file,
// shortcut or safety copy.
TEST(InstallerE2E, DamagedProductIsRefusedAtTheInstallStepBeforeAnythingIsWritten) {
    Sandbox box = sandbox_make("damaged_product");
    std::wstring damaged = box.root + L"Damaged\\PikeHarbour_Setup.exe";
    ASSERT_TRUE(write_damaged_product_copy(damaged));
    std::string backup_before = backup_bytes();
    Running setup;
    ASSERT_TRUE(setup_start(setup, damaged, sandbox_environment(box)));
    walk_to_folder_page(setup, GERMAN);
    control_click(setup, INSTALL_BUTTON);
    expect_damaged_refused(setup, box, backup_before);
    EXPECT_FALSE(file_exists(shortcut_path()));
}

// A visible child of the window whose text starts with `prefix`.
bool child_text_shown(HWND window, const std::wstring& prefix) {
    struct Search {
        const std::wstring* prefix;
        bool found;
    } search{&prefix, false};
    EnumChildWindows(window, [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        s->found = s->found || (IsWindowVisible(child) && window_caption(child).rfind(*s->prefix, 0) == 0);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The user is at the install step before the check has ended (it is held
// suspended): the folder page shows its progress and takes no input, nothing
// is written; once it ends, the damaged block is refused.
TEST(InstallerE2E, InstallStepWaitsForARunningCheckShowingProgress) {
    Sandbox box = sandbox_make("held_check");
    std::wstring damaged = box.root + L"Damaged\\PikeHarbour_Setup.exe";
    ASSERT_TRUE(write_damaged_product_copy(damaged));
    std::string backup_before = backup_bytes();
    CheckHold hold;
    Running setup;
    ASSERT_TRUE(check_hold_start(hold, setup, damaged, sandbox_environment(box)));
    ASSERT_TRUE(wait_until("the payload check held", [&] { return hold.held.load(); }));
    walk_to_folder_page(setup, ENGLISH);
    control_click(setup, INSTALL_BUTTON);
    EXPECT_TRUE(wait_until("the check's progress shown", [&] {
        return child_text_shown(setup.window, L"Checking the setup program: ");
    }));
    EXPECT_FALSE(IsWindowEnabled(setup.window));
    EXPECT_FALSE(folder_exists(box.program_files + L"\\PikeHarbour"));
    check_hold_release(hold);
    expect_damaged_refused(setup, box, backup_before);
}

// The window shows the picture's top-left corner; a setup whose picture is
// damaged shows none and still installs.
TEST(InstallerE2E, DamagedPictureShowsNoneAndStillInstalls) {
    std::string picture = embedded_picture();
    const POINT spots[] = {{10, 10}, {790, 300}, {300, 600}};
    Sandbox box = sandbox_make("picture");
    {
        Running setup;
        ASSERT_TRUE(setup_start(setup, setup_exe(), sandbox_environment(box)));
        for (POINT p : spots) {
            EXPECT_TRUE(wait_until("the picture drawn at the spot", [&] {
                return client_pixel(setup.window, p.x, p.y) == picture_pixel(picture, p.x, p.y);
            }, 5000)) << p.x << "," << p.y;
        }
        setup_close_box(setup);
        EXPECT_EQ(setup_wait_exit(setup), 0);
    }
    std::wstring damaged = box.root + L"Damaged\\PikeHarbour_Setup.exe";
    ASSERT_TRUE(write_damaged_copy(damaged));
    Running setup;
    ASSERT_TRUE(setup_start(setup, damaged, sandbox_environment(box)));
    int differing = 0;
    for (POINT p : spots) {
        differing += client_pixel(setup.window, p.x, p.y) != picture_pixel(picture, p.x, p.y);
    }
    EXPECT_EQ(differing, 3);
    screenshot_save(setup.window, "damaged_picture");
    walk_to_folder_page(setup, ENGLISH);
    press_install(setup, ENGLISH);
    expect_success_and_exit(setup, ENGLISH);
    EXPECT_TRUE(file_bytes(box.program_files + L"\\PikeHarbour\\Pikeharbour64.exe") ==
                product_bytes());
}
