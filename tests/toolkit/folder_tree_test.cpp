#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "toolkit_support.h"
#include "toolkit/controls.h"
#include "toolkit/events.h"
#include "toolkit/folder_tree/folder_tree.h"
#include "toolkit/windows.h"

namespace {


class FolderTreeTest : public WindowTestBase {
protected:
    static void SetUpTestSuite() {
        CreateDirectoryW(L"C:\\phtree", nullptr);
        CreateDirectoryW(L"C:\\phtree\\Alpha", nullptr);
        CreateDirectoryW(L"C:\\phtree\\Alpha\\Beta", nullptr);
        CreateDirectoryW(L"C:\\phtree\\Files", nullptr);
        HANDLE file = CreateFileW(L"C:\\phtree\\Files\\a.txt", GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
        CreateDirectoryW(L"C:\\Program Files", nullptr);
    }
    void SetUp() override { open_window(100, 100, 700, 560, L"Folder tree"); }
    // The native tree, painted once: a tree fills itself when it is first
    // shown, painted or asked for its text, so its items can be read here.
    static HWND tree_of(int64_t id) {
        HWND tree = control_handle(id);
        UpdateWindow(tree);
        return tree;
    }
    static HTREEITEM next(HWND tree, HTREEITEM item, WPARAM relation) {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    static std::wstring text_of(HWND tree, HTREEITEM item) {
        wchar_t text[MAX_PATH] = {};
        TVITEMW query = {};
        query.mask = TVIF_TEXT | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = MAX_PATH;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
        return text;
    }
    static HTREEITEM child_named(HWND tree, HTREEITEM parent, const wchar_t* name) {
        for (HTREEITEM item = next(tree, parent, TVGN_CHILD); item;
             item = next(tree, item, TVGN_NEXT)) {
            if (text_of(tree, item) == name) {
                return item;
            }
        }
        return nullptr;
    }
    static int children_flag(HWND tree, HTREEITEM item) {
        TVITEMW query = {};
        query.mask = TVIF_CHILDREN | TVIF_HANDLE;
        query.hItem = item;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
        return query.cChildren;
    }
    static bool expanded(HWND tree, HTREEITEM item) {
        return SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                            TVIS_EXPANDED) & TVIS_EXPANDED;
    }
    static HTREEITEM selected(HWND tree) {
        return next(tree, nullptr, TVGN_CARET);
    }
};

TEST_F(FolderTreeTest, SetTextOpensTheTreeDownToTheFolderAndSelectsIt) {
    int64_t tree = folder_tree_create(ANY_ID, 10, 10, 350, 460, L"", SETUP_TREE_FLAGS);
    ASSERT_NE(tree, 0);
    HWND native = tree_of(tree);
    EXPECT_EQ(control_text(tree), L"");
    EXPECT_EQ(control_get_state(tree), 0);
    control_set_text(tree, L"C:\\Program Files\\");
    EXPECT_EQ(control_text(tree), L"C:\\Program Files\\");
    EXPECT_EQ(control_get_state(tree), 2);
    HTREEITEM folder = selected(native);
    HTREEITEM drive = next(native, folder, TVGN_PARENT);
    HTREEITEM computer = next(native, drive, TVGN_PARENT);
    EXPECT_TRUE(expanded(native, folder));
    EXPECT_TRUE(expanded(native, drive));
    EXPECT_TRUE(expanded(native, computer));
    EXPECT_EQ(next(native, computer, TVGN_PARENT), nullptr);

    control_set_text(tree, L"c:\\PHTREE\\alpha\\");
    EXPECT_EQ(control_text(tree), L"C:\\phtree\\Alpha\\");
    control_set_text(tree, L"C:\\phtree\\Missing\\");
    EXPECT_EQ(control_text(tree), L"C:\\phtree\\Alpha\\");
    control_set_text(tree, L"Q:\\nowhere\\");
    EXPECT_EQ(control_text(tree), L"C:\\phtree\\Alpha\\");
    // A pattern after the folder rebuilds the tree: nothing stays selected.
    control_set_text(tree, L"C:\\phtree\\Missing\\*.txt");
    EXPECT_EQ(control_text(tree), L"");
    EXPECT_EQ(control_get_state(tree), 0);
    control_set_text(tree, L"C:\\");
    EXPECT_EQ(control_text(tree), L"C:\\");
    EXPECT_TRUE(drain_code(EVENT_GADGET).empty());
}

TEST_F(FolderTreeTest, ExpandButtonsFollowFoldersOrMatchingFiles) {
    int64_t folders = folder_tree_create(ANY_ID, 10, 10, 300, 460, L"C:\\phtree\\",
                                         TREE_FOLDERS_ONLY);
    int64_t files = folder_tree_create(ANY_ID, 320, 10, 300, 460, L"C:\\phtree\\", 0);
    HWND folders_tree = tree_of(folders);
    HWND files_tree = tree_of(files);
    HTREEITEM base = selected(folders_tree);
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(children_flag(folders_tree, child_named(folders_tree, base, L"Alpha")), 1);
    EXPECT_EQ(children_flag(folders_tree, child_named(folders_tree, base, L"Files")), 0);
    HTREEITEM files_base = selected(files_tree);
    HTREEITEM holder = child_named(files_tree, files_base, L"Files");
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(children_flag(files_tree, holder), 1);
    // Only matching files count: with a pattern that matches nothing the
    // folder has no button.
    control_set_text(files, L"C:\\phtree\\*.doc");
    control_set_text(files, L"C:\\phtree\\");
    holder = child_named(files_tree, selected(files_tree), L"Files");
    EXPECT_EQ(children_flag(files_tree, holder), 0);
    control_set_text(files, L"C:\\phtree\\*.txt");
    control_set_text(files, L"C:\\phtree\\Files\\");
    HTREEITEM file = child_named(files_tree, selected(files_tree), L"a.txt");
    ASSERT_NE(file, nullptr);
    SendMessageW(files_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(control_text(files), L"C:\\phtree\\Files\\a.txt");
    EXPECT_EQ(control_get_state(files), 1);
}

// A creation text with a pattern rebuilds the tree by itself: the tree ends
// as set_text of that text leaves it, the pattern kept for later expansions.
TEST_F(FolderTreeTest, CreationTextWithAPatternSetsFolderAndPattern) {
    int64_t with_folder =
        folder_tree_create(ANY_ID, 10, 10, 300, 460, L"C:\\phtree\\Files\\*.doc", 0);
    int64_t pattern_only = folder_tree_create(ANY_ID, 320, 10, 300, 460, L"*.txt", 0);
    ASSERT_NE(with_folder, 0);
    ASSERT_NE(pattern_only, 0);
    HWND native = tree_of(with_folder);
    EXPECT_EQ(control_text(with_folder), L"C:\\phtree\\Files\\");
    EXPECT_EQ(next(native, selected(native), TVGN_CHILD), nullptr);
    EXPECT_EQ(next(native, next(native, nullptr, TVGN_ROOT), TVGN_NEXT), nullptr);
    HWND other = tree_of(pattern_only);
    EXPECT_EQ(control_text(pattern_only), L"");
    control_set_text(pattern_only, L"C:\\phtree\\Files\\");
    EXPECT_NE(child_named(other, selected(other), L"a.txt"), nullptr);
    EXPECT_TRUE(drain_code(EVENT_GADGET).empty());
}

TEST_F(FolderTreeTest, ComputerItemHoldsDrivesAndDocumentsUnlessLeftOut) {
    int64_t plain = folder_tree_create(ANY_ID, 10, 10, 300, 460, L"", 0);
    int64_t without = folder_tree_create(ANY_ID, 320, 10, 300, 460, L"", TREE_NO_DOCUMENTS);
    for (int64_t tree : {plain, without}) {
        HWND native = tree_of(tree);
        HTREEITEM computer = next(native, nullptr, TVGN_ROOT);
        std::vector<LPARAM> kinds;
        for (HTREEITEM item = next(native, computer, TVGN_CHILD); item;
             item = next(native, item, TVGN_NEXT)) {
            kinds.push_back(folder_tree_item_parameter(native, item) & 0xFF);
        }
        ASSERT_FALSE(kinds.empty());
        EXPECT_EQ(kinds.back() == TREE_ITEM_DOCUMENTS, tree == plain) << tree;
        for (size_t i = 0; i + 1 < kinds.size(); i++) {
            EXPECT_LT(kinds[i], 32) << i;
        }
        SendMessageW(native, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(computer));
        EXPECT_EQ(control_text(tree), L"");
        EXPECT_EQ(control_get_state(tree), 2);
    }
}

TEST_F(FolderTreeTest, MouseClickOnAFolderQueuesSelectionThenClick) {
    int64_t tree = folder_tree_create(ANY_ID, 10, 10, 350, 460, L"C:\\phtree\\",
                                      SETUP_TREE_FLAGS);
    HWND native = tree_of(tree);
    HTREEITEM target = child_named(native, selected(native), L"Files");
    ASSERT_NE(target, nullptr);
    EXPECT_TRUE(drain_code(EVENT_GADGET).empty());
    RECT area = {};
    memcpy(&area, &target, sizeof(target));   // TVM_GETITEMRECT reads the item from the rectangle
    ASSERT_TRUE(SendMessageW(native, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&area)));
    bring_to_front(hwnd);
    POINT point = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    MapWindowPoints(native, hwnd, &point, 1);
    click_at(hwnd, point);
    const std::vector<QueuedEvent> expected = {{EVENT_GADGET, tree, GADGET_CHANGED},
                                               {EVENT_GADGET, tree, 0}};
    EXPECT_EQ(await_code(EVENT_GADGET, expected.size()), expected);
    EXPECT_EQ(control_text(tree), L"C:\\phtree\\Files\\");
}

TEST_F(FolderTreeTest, DestroyingOneTreeLeavesTheSharedIconsToTheOther) {
    int64_t first = folder_tree_create(ANY_ID, 10, 10, 300, 460, L"C:\\phtree\\", 0);
    int64_t second = folder_tree_create(ANY_ID, 320, 10, 300, 460, L"C:\\phtree\\", 0);
    HWND second_tree = tree_of(second);
    HIMAGELIST shared = reinterpret_cast<HIMAGELIST>(
        SendMessageW(second_tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    int count = ImageList_GetImageCount(shared);
    ASSERT_GT(count, 0);
    DestroyWindow(tree_of(first));
    EXPECT_EQ(control_record(first), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(shared), count);
    HICON icon = ImageList_GetIcon(shared, g_folder_tree.folder_icon, ILD_NORMAL);
    EXPECT_NE(icon, nullptr);
    DestroyIcon(icon);
    control_set_text(second, L"C:\\phtree\\Files\\");
    EXPECT_EQ(control_text(second), L"C:\\phtree\\Files\\");
    // A background colour gives the tree a private copy; going back to the
    // default returns to the shared list and the copy is freed.
    control_set_color(second, 2, 0x00FFFF);
    EXPECT_EQ(control_get_color(second, 2), 0x00FFFF);
    EXPECT_NE(SendMessageW(second_tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0),
              reinterpret_cast<LRESULT>(shared));
    control_set_color(second, 2, -1);
    EXPECT_EQ(SendMessageW(second_tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0),
              reinterpret_cast<LRESULT>(shared));
}

TEST_F(FolderTreeTest, WatchThreadEndsCleanlyAtShutdown) {
    ASSERT_NE(folder_tree_create(ANY_ID, 10, 10, 300, 460, L"", 0), 0);
    EXPECT_EQ(folder_tree_watch_running(), 1);
    folder_tree_services_end();
    EXPECT_EQ(folder_tree_watch_running(), 0);
    // Restarted so that shutdown at the end of this program ends it once more.
    EXPECT_EQ(folder_tree_watch_start(), 1);
    EXPECT_EQ(folder_tree_watch_running(), 1);
}

}  // namespace

// A hidden tree keeps the texts it is given and fills itself only when it is
// shown, applying them in order and reporting nothing.
TEST_F(FolderTreeTest, HiddenTreeFillsItselfWhenShown) {
    int64_t tree = folder_tree_create(ANY_ID, 10, 10, 350, 460, L"", SETUP_TREE_FLAGS);
    control_hide(tree, 1);
    control_set_text(tree, L"C:\\phtree\\");
    control_set_text(tree, L"C:\\phtree\\Alpha\\");
    HWND native = control_handle(tree);
    EXPECT_EQ(SendMessageW(native, TVM_GETCOUNT, 0, 0), 0);
    control_hide(tree, 0);
    EXPECT_GT(SendMessageW(native, TVM_GETCOUNT, 0, 0), 0);
    HTREEITEM item = selected(native);
    ASSERT_NE(item, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_TRUE(folder_tree_item_path(native, item, path, MAX_PATH));
    EXPECT_STREQ(path, L"C:\\phtree\\Alpha\\");
    pump(100);
    EXPECT_TRUE(drain_code(EVENT_GADGET).empty());
}
