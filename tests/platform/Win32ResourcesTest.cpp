// The resources of the built Windows program, read back through the window manager's own loaders: what
// the window, its menu, its accelerators and the About box will get at run time.
#include "app/Resources.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>
#include <windows.h>

namespace {

// The program's path; a cross build knows it as a host path, which Wine serves as drive Z:.
std::wstring ViewerPath() {
    const std::string path = TAVRO_VIEWER_PATH;
    std::wstring wide(path.begin(), path.end());
    return !wide.empty() && wide[0] == L'/' ? L"Z:" + wide : wide;
}

class ViewerResources : public testing::Test {
protected:
    void SetUp() override {
        module = ::LoadLibraryExW(ViewerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << "cannot load " << TAVRO_VIEWER_PATH;
    }
    void TearDown() override {
        if (module != nullptr) {
            ::FreeLibrary(module);
        }
    }

    // The raw bytes of a resource, empty when it is missing.
    std::vector<std::uint8_t> Bytes(LPCWSTR type, WORD id) const {
        HRSRC found = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id),
                                        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        if (found == nullptr) {
            return {};
        }
        const auto* data = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, found)));
        return std::vector<std::uint8_t>(data, data + ::SizeofResource(module, found));
    }

    std::wstring String(UINT id) const {
        wchar_t buffer[100] = {};
        ::LoadStringW(module, id, buffer, 100);
        return buffer;
    }

    HMODULE module = nullptr;
};

// Reads a resource's little-endian fields in order; running past the end fails the test.
class ResourceReader {
public:
    explicit ResourceReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::uint32_t Read(std::size_t size) {
        std::uint32_t value = 0;
        EXPECT_LE(offset_ + size, bytes_.size());
        if (offset_ + size <= bytes_.size()) {
            std::memcpy(&value, bytes_.data() + offset_, size);
        }
        offset_ += size;
        return value;
    }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Read(2)); }
    std::uint32_t Dword() { return Read(4); }
    std::int16_t Short() { return static_cast<std::int16_t>(Read(2)); }
    // A null-terminated UTF-16 string, or "#n" for an ordinal (0xFFFF then n).
    std::wstring Text() {
        std::wstring text;
        for (std::uint16_t unit = Word(); unit != 0 && offset_ <= bytes_.size(); unit = Word()) {
            if (text.empty() && unit == 0xFFFF) {
                return L"#" + std::to_wstring(Word());
            }
            text += static_cast<wchar_t>(unit);
        }
        return text;
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~std::size_t{3}; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t offset_ = 0;
};

std::wstring Wide(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

TEST_F(ViewerResources, StringsGiveTheTitleAndTheClassName) {
    EXPECT_EQ(String(TAVRO_IDS_APP_TITLE), L"Tavro Model Viewer");
    EXPECT_EQ(String(TAVRO_IDC_APP), L"TAVROMODELVIEWER");
}

TEST_F(ViewerResources, MenuHoldsExitUnderFileAndAboutUnderHelp) {
    HMENU menu = ::LoadMenuW(module, MAKEINTRESOURCEW(TAVRO_IDC_APP));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu), 2);
    struct Expected {
        const wchar_t* popup;
        const wchar_t* item;
        UINT command;
    };
    const Expected expected[] = {{L"&File", L"E&xit", TAVRO_IDM_EXIT},
                                 {L"&Help", L"&About ...", TAVRO_IDM_ABOUT}};
    for (int position = 0; position < 2; ++position) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[position].popup);
        HMENU popup = ::GetSubMenu(menu, position);
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(::GetMenuItemCount(popup), 1);
        EXPECT_EQ(::GetMenuItemID(popup, 0), expected[position].command);
        ::GetMenuStringW(popup, 0, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[position].item);
    }
    ::DestroyMenu(menu);
}

TEST_F(ViewerResources, AcceleratorsAreAltCharactersForAbout) {
    HACCEL table = ::LoadAcceleratorsW(module, MAKEINTRESOURCEW(TAVRO_IDC_APP));
    ASSERT_NE(table, nullptr);
    ACCEL entries[4] = {};
    ASSERT_EQ(::CopyAcceleratorTableW(table, entries, 4), 2);
    const WORD keys[] = {'?', '/'};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entries[i].key, keys[i]);
        EXPECT_EQ(entries[i].fVirt & (FALT | FVIRTKEY | FSHIFT | FCONTROL), FALT)
            << "a character key with Alt only";
        EXPECT_EQ(entries[i].cmd, TAVRO_IDM_ABOUT);
    }
    ::DestroyAcceleratorTable(table);
}

TEST_F(ViewerResources, AboutBoxTemplateHasItsStyleFontAndControls) {
    const std::vector<std::uint8_t> bytes = Bytes(MAKEINTRESOURCEW(5) /* RT_DIALOG */, TAVRO_IDD_ABOUTBOX);
    ASSERT_FALSE(bytes.empty());
    ResourceReader reader(bytes);
    EXPECT_EQ(reader.Word(), 1);      // extended template version
    EXPECT_EQ(reader.Word(), 0xFFFF); // signature
    reader.Dword();                   // help id
    EXPECT_EQ(reader.Dword(), 0u);    // extended style
    EXPECT_EQ(reader.Dword(),
              DWORD{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS});
    ASSERT_EQ(reader.Word(), 3); // controls
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), TAVRO_ABOUT_WIDTH);
    EXPECT_EQ(reader.Short(), TAVRO_ABOUT_HEIGHT);
    EXPECT_EQ(reader.Text(), L""); // no menu
    EXPECT_EQ(reader.Text(), L""); // the standard dialog class
    EXPECT_EQ(reader.Text(), L"About");
    EXPECT_EQ(reader.Word(), 8);   // points
    EXPECT_EQ(reader.Word(), 0);   // weight
    EXPECT_EQ(reader.Read(1), 0u); // italic
    EXPECT_EQ(reader.Read(1), 1u); // character set
    EXPECT_EQ(reader.Text(), L"MS Shell Dlg");

    struct Control {
        DWORD style;
        short x, y, width, height;
        std::int32_t id;
        const wchar_t* windowClass;
        std::wstring text;
    };
    const Control expected[] = {
        {WS_CHILD | WS_VISIBLE | SS_ICON, 14, 14, 20, 20, -1, L"STATIC", L"#107"},
        {WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX, 42, 14, 114, 8, -1, L"STATIC",
         Wide(TAVRO_TEXT_APP_TITLE)},
        {WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 113, 41, 50, 14, IDOK, L"BUTTON",
         L"OK"},
    };
    for (const Control& control : expected) {
        reader.AlignToDword();
        reader.Dword(); // help id
        EXPECT_EQ(reader.Dword(), 0u);
        EXPECT_EQ(reader.Dword(), control.style);
        EXPECT_EQ(reader.Short(), control.x);
        EXPECT_EQ(reader.Short(), control.y);
        EXPECT_EQ(reader.Short(), control.width);
        EXPECT_EQ(reader.Short(), control.height);
        EXPECT_EQ(static_cast<std::int32_t>(reader.Dword()), control.id);
        EXPECT_EQ(reader.Text(), control.windowClass);
        EXPECT_EQ(reader.Text(), control.text);
        EXPECT_EQ(reader.Word(), 0); // no creation data
    }
}

TEST_F(ViewerResources, IconHasThreeSizesAtTwoDepthsAndLoadsAtEachSize) {
    const std::vector<std::uint8_t> bytes =
        Bytes(MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, TAVRO_IDI_APP_ICON);
    ASSERT_FALSE(bytes.empty());
    ResourceReader reader(bytes);
    reader.Word();
    EXPECT_EQ(reader.Word(), 1); // icon
    ASSERT_EQ(reader.Word(), 6);
    std::vector<std::pair<int, int>> images; // size, bits per pixel
    for (int i = 0; i < 6; ++i) {
        const int size = static_cast<int>(reader.Read(1));
        reader.Read(1); // height
        reader.Read(2); // colour count, reserved
        reader.Word();  // planes
        const int bits = reader.Word();
        reader.Dword(); // bytes
        reader.Word();  // image id
        images.emplace_back(size, bits);
    }
    const std::vector<std::pair<int, int>> expected = {{48, 8},  {48, 24}, {32, 8},
                                                       {32, 24}, {16, 8},  {16, 24}};
    EXPECT_EQ(images, expected);
    for (const int size : {48, 32, 16}) {
        HANDLE icon = ::LoadImageW(module, MAKEINTRESOURCEW(TAVRO_IDI_APP_ICON), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr) << size;
        if (icon != nullptr) {
            ::DestroyIcon(static_cast<HICON>(icon));
        }
    }
}

TEST_F(ViewerResources, ManifestAsksToRunAsInvoker) {
    const std::vector<std::uint8_t> bytes = Bytes(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, 1);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(text.find("uiAccess=\"false\""), std::string::npos);
}

} // namespace
