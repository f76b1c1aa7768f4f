// Checks of the built PikeHarbour_Setup.exe as a file: its PE header, what
// it imports, its manifest, icon and version resources, and the two blocks
// it embeds (the product compressed). The product stand-in is also started
// to show it still runs after padding.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <set>
#include "tests/installer/exe_file.h"
#include "support/child_process.h"
#include "support/wait.h"

namespace {

const wchar_t* const kWorkFolder = L"C:\\ph_exe_tests";

struct SetupFile {
    std::wstring path = unix_path_to_windows(PH_SETUP_EXE);
    std::vector<uint8_t> bytes = read_whole_file(path);
};

template <typename T>
T read_at(const std::vector<uint8_t>& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) {
        memcpy(&value, bytes.data() + offset, sizeof(T));
    }
    return value;
}

IMAGE_NT_HEADERS64 nt_headers(const std::vector<uint8_t>& bytes) {
    auto dos = read_at<IMAGE_DOS_HEADER>(bytes, 0);
    return read_at<IMAGE_NT_HEADERS64>(bytes, dos.e_lfanew);
}

// File offset of a relative virtual address, through the section table.
size_t rva_to_offset(const std::vector<uint8_t>& bytes, uint32_t rva) {
    auto dos = read_at<IMAGE_DOS_HEADER>(bytes, 0);
    auto nt = nt_headers(bytes);
    size_t table = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    for (int i = 0; i < nt.FileHeader.NumberOfSections; i++) {
        auto section = read_at<IMAGE_SECTION_HEADER>(bytes, table + i * sizeof(IMAGE_SECTION_HEADER));
        if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.Misc.VirtualSize) {
            return rva - section.VirtualAddress + section.PointerToRawData;
        }
    }
    return bytes.size();
}

std::set<std::string> imported_dlls(const std::vector<uint8_t>& bytes) {
    std::set<std::string> names;
    auto nt = nt_headers(bytes);
    uint32_t rva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    size_t at = rva_to_offset(bytes, rva);
    for (;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto entry = read_at<IMAGE_IMPORT_DESCRIPTOR>(bytes, at);
        if (entry.Name == 0) {
            break;
        }
        size_t name_at = rva_to_offset(bytes, entry.Name);
        std::string name;
        while (name_at < bytes.size() && bytes[name_at] != 0) {
            name += static_cast<char>(tolower(bytes[name_at++]));
        }
        names.insert(name);
    }
    return names;
}

class SetupResources : public testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(file.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "cannot open the setup's resources";
    }
    void TearDown() override {
        if (module) {
            FreeLibrary(module);
        }
    }
    SetupFile file;
    HMODULE module = nullptr;
};

std::wstring version_string(const std::vector<uint8_t>& info, const wchar_t* name) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), query.c_str(), &value, &length) || !value) {
        return L"<missing>";
    }
    return static_cast<const wchar_t*>(value);
}

}  // namespace

TEST(SetupHeader, IsA64BitGuiProgramWithAslrAndDep) {
    SetupFile file;
    ASSERT_GT(file.bytes.size(), 4096u);
    auto nt = nt_headers(file.bytes);
    EXPECT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt.FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    EXPECT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    const WORD wanted = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE | IMAGE_DLLCHARACTERISTICS_NX_COMPAT |
                        IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA;
    EXPECT_EQ(nt.OptionalHeader.DllCharacteristics & wanted, wanted);
}

TEST(SetupHeader, ImportsOnlyWindowsSystemLibraries) {
    const std::set<std::string> system = {
        "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "shell32.dll", "ole32.dll",
        "oleaut32.dll", "shlwapi.dll", "winmm.dll", "msvcrt.dll", "advapi32.dll", "comdlg32.dll"};
    SetupFile file;
    std::set<std::string> imports = imported_dlls(file.bytes);
    EXPECT_TRUE(imports.count("kernel32.dll")) << "import table not found";
    for (const std::string& name : imports) {
        EXPECT_TRUE(system.count(name)) << name << " is not a Windows system library";
    }
    // The first page needs none of these: they are delay-loaded (a function
    // missing from cmake/delay_load/<lib>.def would import the library again).
    // The Restart Manager is looked up when a running product is found.
    for (const char* later : {"shell32.dll", "ole32.dll", "shlwapi.dll", "rstrtmgr.dll",
                              "oleacc.dll", "oleaut32.dll"}) {
        EXPECT_FALSE(imports.count(later)) << later << " is loaded at start";
    }
}

TEST_F(SetupResources, ManifestAsksForCommonControls6PerMonitorDpiAndNoExecutionLevel) {
    std::vector<uint8_t> bytes = setup_resource(module, RT_MANIFEST, MAKEINTRESOURCEW(1));
    std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find("name=\"CompanyName.ProductName.YourApp\" version=\"1.0.0.0\" "
                            "processorArchitecture=\"amd64\""), std::string::npos) << manifest;
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);
    // Windows 10 1703 on reads dpiAwareness, older ones dpiAware.
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
}

TEST_F(SetupResources, IconOneIsASingle64By64ImageAt32Bits) {
    std::vector<uint8_t> group = setup_resource(module, RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_EQ(group.size(), 6u + 14u);
    EXPECT_EQ(read_at<WORD>(group, 4), 1) << "image count";
    EXPECT_EQ(group[6], 64);
    EXPECT_EQ(group[7], 64);
    EXPECT_EQ(read_at<WORD>(group, 6 + 6), 32) << "bits per pixel";
    WORD image_id = read_at<WORD>(group, 6 + 12);
    std::vector<uint8_t> image = setup_resource(module, RT_ICON, MAKEINTRESOURCEW(image_id));
    auto header = read_at<BITMAPINFOHEADER>(image, 0);
    EXPECT_EQ(header.biWidth, 64);
    EXPECT_EQ(header.biHeight, 128) << "colour rows plus mask rows";
    EXPECT_EQ(header.biBitCount, 32);
    HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, 64, 64, 0);
    EXPECT_NE(icon, nullptr);
    DestroyIcon(icon);
}

TEST_F(SetupResources, VersionResourceCarriesTheProductStrings) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(file.path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<uint8_t> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(file.path.c_str(), 0, size, info.data()));
    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } expected[] = {
        {L"CompanyName", L"Velmar-Consulting"},
        {L"ProductName", L"Brimfold 3.0"},
        {L"ProductVersion", L"3.00"},
        {L"FileVersion", L"3.00"},
        {L"FileDescription", L"Installer for Brimfold"},
        {L"OriginalFilename", L"Brimfoldsetup.exe"},
    };
    for (const auto& row : expected) {
        EXPECT_EQ(version_string(info, row.name), row.value) << row.name;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00030002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
}

// The product is stored as a zlib stream smaller than the file it inflates
// to, byte for byte.
TEST_F(SetupResources, ProductBlockInflatesToTheEmbeddedFile) {
    std::vector<uint8_t> block = setup_resource(module, RT_RCDATA, MAKEINTRESOURCEW(101));
    std::vector<std::string> paths = embedded_file_paths();
    ASSERT_EQ(paths.size(), 2u);
    std::vector<uint8_t> product = read_whole_file(unix_path_to_windows(paths[0]));
    ASSERT_LT(block.size(), product.size());
    std::vector<uint8_t> original = inflated(block, 2488832u);
    ASSERT_EQ(original.size(), 2488832u);
    EXPECT_TRUE(original == product);
    auto nt = nt_headers(original);
    EXPECT_EQ(nt.FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

// The picture's header, read from the block: 982 x 744, 8-bit RGB, not
// interlaced, with its colour-space chunks ahead of the image data. The
// full decode of the same file is checked on the Linux side.
TEST_F(SetupResources, PictureBlockIsA982By744RgbPng) {
    std::vector<uint8_t> block = setup_resource(module, RT_RCDATA, MAKEINTRESOURCEW(102));
    std::vector<std::string> paths = embedded_file_paths();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_TRUE(block == read_whole_file(unix_path_to_windows(paths[1])));
    ASSERT_GT(block.size(), 33u);
    EXPECT_EQ(memcmp(block.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(memcmp(block.data() + 12, "IHDR", 4), 0);
    EXPECT_EQ(_byteswap_ulong(read_at<uint32_t>(block, 16)), 982u);
    EXPECT_EQ(_byteswap_ulong(read_at<uint32_t>(block, 20)), 744u);
    EXPECT_EQ(block[24], 8) << "bit depth";
    EXPECT_EQ(block[25], 2) << "colour type RGB";
    EXPECT_EQ(block[28], 0) << "interlace";
    std::set<std::string> before_data;
    for (size_t at = 8; at + 8 <= block.size();) {
        uint32_t length = _byteswap_ulong(read_at<uint32_t>(block, at));
        std::string type(block.begin() + at + 4, block.begin() + at + 8);
        if (type == "IDAT") {
            break;
        }
        before_data.insert(type);
        at += 12 + static_cast<size_t>(length);
    }
    for (const char* chunk : {"sRGB", "gAMA", "pHYs"}) {
        EXPECT_TRUE(before_data.count(chunk)) << chunk;
    }
}

// The padded stand-in still starts: written out like an installation and
// run, it opens its "PikeHarbour" window and ends cleanly when closed.
TEST_F(SetupResources, PaddedProductStandInStartsAndOpensItsWindow) {
    std::vector<std::string> paths = embedded_file_paths();
    ASSERT_EQ(paths.size(), 2u);
    if (paths[0].find("product_standin") == std::string::npos) {
        GTEST_SKIP() << "a vendor product is embedded";
    }
    std::vector<uint8_t> block =
        inflated(setup_resource(module, RT_RCDATA, MAKEINTRESOURCEW(101)), 2488832u);
    ASSERT_EQ(block.size(), 2488832u);
    CreateDirectoryW(kWorkFolder, nullptr);
    std::wstring product = std::wstring(kWorkFolder) + L"\\PikeHarbour.exe";
    HANDLE out = CreateFileW(product.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(out, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    CloseHandle(out);
    ASSERT_EQ(written, block.size());

    PROCESS_INFORMATION process = {};
    ChildOptions options;
    options.application = product.c_str();
    options.directory = kWorkFolder;
    ASSERT_TRUE(child_start(process, L"\"" + product + L"\"", options));
    HWND window = nullptr;
    EXPECT_TRUE(wait_until("a window titled PikeHarbour", [&] {
        HWND found = FindWindowW(L"PikeHarbourStandIn", L"PikeHarbour");
        DWORD owner = 0;
        GetWindowThreadProcessId(found, &owner);
        window = owner == process.dwProcessId ? found : nullptr;
        return window != nullptr;
    }));
    if (window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(child_exit_code(process, 10000, 98), 0u);
    DeleteFileW(product.c_str());
}
