// SETUP.EXE's compiled resources, read back from the built file: the string
// table (every line of strings.def), the About dialog with its Japanese
// caption and font, menu and accelerators 128, icon 128, the version block
// and the manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "beside.h"
#include "res/resource.h"

namespace {

class SetupResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_module = LoadLibraryExA(BesideThisProgram("SETUP.EXE").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (s_module) FreeLibrary(s_module);
        s_module = nullptr;
    }
    void SetUp() override { ASSERT_NE(s_module, nullptr) << "SETUP.EXE beside the tests"; }

    static std::string Resource(LPCSTR type, unsigned id) {
        HRSRC found = FindResourceA(s_module, MAKEINTRESOURCEA(id), type);
        if (!found) return {};
        const char *bytes = static_cast<const char *>(LockResource(LoadResource(s_module, found)));
        return std::string(bytes, SizeofResource(s_module, found));
    }

    static HMODULE s_module;
};
HMODULE SetupResources::s_module = nullptr;

struct TableString {
    unsigned id;
    const char *text;
};
const TableString kStrings[] = {
#define MIRTEL_STRING(id, text) {id, text},
#include "res/strings.def"
#undef MIRTEL_STRING
};

TEST_F(SetupResources, StringTableHoldsEveryLineOfStringsDef) {
    for (const TableString &entry : kStrings) {
        char buffer[1024] = {};
        int length = LoadStringA(s_module, entry.id, buffer, sizeof(buffer));
        EXPECT_EQ(length, static_cast<int>(std::strlen(entry.text))) << entry.id;
        EXPECT_STREQ(buffer, entry.text) << entry.id;
    }
}

// Reads a DLGTEMPLATE: WORDs, UTF-16 strings, and ordinals (0xFFFF, n).
class TemplateReader {
public:
    explicit TemplateReader(const std::string &bytes) : m_bytes(bytes) {}
    WORD Word() {
        WORD value = 0;
        if (m_at + 2 <= m_bytes.size()) std::memcpy(&value, &m_bytes[m_at], 2);
        m_at += 2;
        return value;
    }
    DWORD Dword() {
        DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    std::u16string Text() {
        std::u16string text;
        for (WORD c = Word(); c != 0 && m_at <= m_bytes.size(); c = Word()) text += char16_t(c);
        return text;
    }
    // A name or an ordinal; an ordinal comes back as "#<number>".
    std::u16string NameOrOrdinal() {
        if (Peek() == 0xFFFF) {
            Word();
            std::string number = "#" + std::to_string(Word());
            return std::u16string(number.begin(), number.end());
        }
        return Text();
    }
    void AlignToDword() { m_at = (m_at + 3) & ~std::size_t(3); }

private:
    WORD Peek() const {
        WORD value = 0;
        if (m_at + 2 <= m_bytes.size()) std::memcpy(&value, &m_bytes[m_at], 2);
        return value;
    }
    const std::string &m_bytes;
    std::size_t m_at = 0;
};

struct DialogItem {
    DWORD style;
    std::array<short, 4> place;  // x, y, width, height
    WORD id;
    std::u16string windowClass;
    std::u16string text;
};

TEST_F(SetupResources, AboutDialogIsAsDrawn) {
    std::string bytes = Resource(RT_DIALOG, IDD_ABOUTBOX);
    ASSERT_FALSE(bytes.empty());
    TemplateReader reader(bytes);
    DWORD style = reader.Dword();
    reader.Dword();  // extended style
    WORD count = reader.Word();
    short x = reader.Word(), y = reader.Word(), cx = reader.Word(), cy = reader.Word();
    EXPECT_EQ(style, DWORD(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(cx, 217);
    EXPECT_EQ(cy, 55);
    EXPECT_EQ(reader.NameOrOrdinal(), u"") << "no menu";
    EXPECT_EQ(reader.NameOrOrdinal(), u"") << "the standard dialog class";
    // "ﾊﾞｰｼﾞｮﾝ情報(Mirtel)", half-width katakana and two kanji.
    EXPECT_EQ(reader.Text(), u"\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831(Mirtel)");
    EXPECT_EQ(reader.Word(), 9) << "point size";
    // "ＭＳ Ｐゴシック", full-width letters, an ASCII blank and katakana.
    EXPECT_EQ(reader.Text(), u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");

    std::vector<DialogItem> items;
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        DialogItem item{};
        item.style = reader.Dword();
        reader.Dword();  // extended style
        for (short &coordinate : item.place) coordinate = static_cast<short>(reader.Word());
        item.id = reader.Word();
        item.windowClass = reader.NameOrOrdinal();
        item.text = reader.NameOrOrdinal();
        reader.Word();  // creation data: none
        items.push_back(item);
    }
    // The icon's id is IDC_STATIC (-1), its text the icon's ordinal; it has
    // no size of its own but takes the icon's.
    struct ExpectedItem {
        const char16_t *windowClass;  // atoms: 0x80 button, 0x82 static
        DWORD typeMask;
        DWORD type;
        WORD id;
        const char16_t *text;  // null: any text but an empty one
        std::array<short, 4> place;
    };
    const ExpectedItem expected[] = {
        {u"#130", SS_TYPEMASK, SS_ICON, 0xFFFF, u"#128", {11, 17, 0, 0}},
        {u"#130", SS_TYPEMASK, SS_LEFT, IDC_ABOUT_VERSION, u"Mirtel Version 1.0", {40, 10, 119, 8}},
        {u"#130", SS_TYPEMASK, SS_LEFT, IDC_ABOUT_LINE2, nullptr, {40, 25, 119, 8}},
        {u"#128", BS_TYPEMASK, BS_DEFPUSHBUTTON, IDOK, u"OK", {178, 7, 32, 14}},
    };
    ASSERT_EQ(items.size(), sizeof(expected) / sizeof(expected[0]));
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].windowClass, expected[i].windowClass) << i;
        EXPECT_EQ(items[i].style & expected[i].typeMask, expected[i].type) << i;
        EXPECT_EQ(items[i].id, expected[i].id) << i;
        if (expected[i].text) {
            EXPECT_EQ(items[i].text, expected[i].text) << i;
        } else {
            EXPECT_FALSE(items[i].text.empty()) << i;
        }
        EXPECT_EQ(items[i].place, expected[i].place) << i;
    }
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(SetupResources, AboutDialogOpensWithItsJapaneseCaption) {
    HWND dialog = CreateDialogParamW(s_module, MAKEINTRESOURCEW(IDD_ABOUTBOX), nullptr,
                                     QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    wchar_t caption[64] = {};
    GetWindowTextW(dialog, caption, 64);
    EXPECT_EQ(std::wstring(caption), L"\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831(Mirtel)");
    char text[64] = {};
    GetDlgItemTextA(dialog, IDC_ABOUT_VERSION, text, sizeof(text));
    EXPECT_STREQ(text, "Mirtel Version 1.0");
    EXPECT_NE(GetDlgItem(dialog, IDOK), nullptr);
    DestroyWindow(dialog);
}

std::vector<UINT> MenuCommands(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) ids.push_back(GetMenuItemID(menu, i));
    return ids;
}

TEST_F(SetupResources, MenuHasTheStandardFileEditAndHelpCommands) {
    HMENU menu = LoadMenuA(s_module, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(MenuCommands(GetSubMenu(menu, 0)),
              (std::vector<UINT>{0xE100, 0xE101, 0xE103, 0, 0xE141}));
    EXPECT_EQ(MenuCommands(GetSubMenu(menu, 1)), (std::vector<UINT>{0xE12B, 0, 0xE123, 0xE122, 0xE125}));
    EXPECT_EQ(MenuCommands(GetSubMenu(menu, 2)), (std::vector<UINT>{0xE140}));
    DestroyMenu(menu);
}

TEST_F(SetupResources, AcceleratorsAreTheStandardFileAndEditKeys) {
    struct Key {
        BYTE modifiers;
        WORD key;
        WORD command;
    };
    const Key expected[] = {
        {FCONTROL, 'N', 0xE100},   {FCONTROL, 'O', 0xE101},   {FCONTROL, 'S', 0xE103},
        {FCONTROL, 'Z', 0xE12B},   {FCONTROL, 'X', 0xE123},   {FCONTROL, 'C', 0xE122},
        {FCONTROL, 'V', 0xE125},   {FALT, VK_BACK, 0xE12B},   {FSHIFT, VK_DELETE, 0xE123},
        {FCONTROL, VK_INSERT, 0xE122}, {FSHIFT, VK_INSERT, 0xE125}, {0, VK_F6, 0xE150},
        {FSHIFT, VK_F6, 0xE151},
    };
    HACCEL table = LoadAcceleratorsA(s_module, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    ACCEL keys[32];
    int count = CopyAcceleratorTableA(table, keys, 32);
    ASSERT_EQ(count, static_cast<int>(sizeof(expected) / sizeof(expected[0])));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(keys[i].fVirt & (FVIRTKEY | FCONTROL | FALT | FSHIFT), FVIRTKEY | expected[i].modifiers) << i;
        EXPECT_EQ(keys[i].key, expected[i].key) << i;
        EXPECT_EQ(keys[i].cmd, expected[i].command) << i;
    }
    DestroyAcceleratorTable(table);
}

TEST_F(SetupResources, IconHasA32By32Image) {
    std::string group = Resource(RT_GROUP_ICON, IDR_MAINFRAME);
    ASSERT_FALSE(group.empty());
    int imageId = LookupIconIdFromDirectoryEx(
        reinterpret_cast<PBYTE>(&group[0]), TRUE, 32, 32, LR_DEFAULTCOLOR);
    EXPECT_NE(imageId, 0);
    EXPECT_FALSE(Resource(RT_ICON, imageId).empty());
}

TEST_F(SetupResources, VersionBlockNamesTheProgram) {
    std::string path = BesideThisProgram("SETUP.EXE");
    DWORD handle = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, block.size(), block.data()));

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(5, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(100, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(5, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(28, 1));

    WORD *translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void **>(&translation), &size));
    ASSERT_EQ(size, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    struct Field {
        const char *name;
        const char *value;
    };
    const Field fields[] = {
        {"InternalName", "SETUP"},
        {"OriginalFilename", "SETUP.EXE"},
        {"ProductName", "SETUP Application"},
        {"CompanyName", ""},
        {"LegalCopyright", ""},
    };
    for (const Field &field : fields) {
        std::string query = std::string("\\StringFileInfo\\040904b0\\") + field.name;
        char *value = nullptr;
        size = 0;
        bool found = VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void **>(&value), &size);
        EXPECT_EQ(found ? std::string(value) : std::string("(missing)"), field.value) << field.name;
    }
    char *description = nullptr;
    EXPECT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\FileDescription",
                               reinterpret_cast<void **>(&description), &size) &&
                *description != '\0');
}

BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR, LONG_PTR count) {
    ++*reinterpret_cast<int *>(count);
    return TRUE;
}

TEST_F(SetupResources, ManifestAsksForCommonControls6AndHighestAvailable) {
    int manifests = 0;
    EnumResourceNamesA(s_module, RT_MANIFEST, CountName, reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(manifests, 1);
    std::string manifest = Resource(RT_MANIFEST, 1);
    ASSERT_FALSE(manifest.empty());
#ifdef _WIN64
#define MIRTEL_ARCH "amd64"
#else
#define MIRTEL_ARCH "X86"
#endif
    const char *wanted[] = {
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"" MIRTEL_ARCH "\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"",
        "<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>",
        "version=\"1.0.0.0\" processorArchitecture=\"" MIRTEL_ARCH "\"",
    };
#undef MIRTEL_ARCH
    for (const char *text : wanted) EXPECT_NE(manifest.find(text), std::string::npos) << text;
    EXPECT_EQ(manifest.find("supportedOS"), std::string::npos);
}

}  // namespace
