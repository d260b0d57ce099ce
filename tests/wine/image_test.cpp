// The built SETUP.EXE as a file: a GUI program for this build's processor
// (PE32 for x86, PE32+ for x64) that needs no DLL of the compiler's, with
// the shared section ".sdata" holding the copy counter (-1) and the window
// slot (null) at load.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "beside.h"

namespace {

#ifdef _WIN64
using NtHeaders = IMAGE_NT_HEADERS64;
constexpr WORD kMachine = IMAGE_FILE_MACHINE_AMD64;
constexpr WORD kOptionalMagic = IMAGE_NT_OPTIONAL_HDR64_MAGIC;
#else
using NtHeaders = IMAGE_NT_HEADERS32;
constexpr WORD kMachine = IMAGE_FILE_MACHINE_I386;
constexpr WORD kOptionalMagic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
#endif

// Reads the image of this build's own architecture; an image of the other
// one (or none) is not Valid(), so no test reads it through the wrong
// header layout.
class Image {
public:
    explicit Image(const std::string &path) {
        std::ifstream file(path, std::ios::binary | std::ios::ate);
        if (!file) return;
        m_bytes.resize(static_cast<std::size_t>(file.tellg()));
        file.seekg(0);
        file.read(reinterpret_cast<char *>(m_bytes.data()), m_bytes.size());
    }
    bool Valid() const {
        if (m_bytes.size() < sizeof(IMAGE_DOS_HEADER)) return false;
        auto dos = At<IMAGE_DOS_HEADER>(0);
        return dos->e_magic == IMAGE_DOS_SIGNATURE &&
               static_cast<std::size_t>(dos->e_lfanew) + sizeof(NtHeaders) <= m_bytes.size() &&
               Headers()->Signature == IMAGE_NT_SIGNATURE && Headers()->OptionalHeader.Magic == kOptionalMagic;
    }
    const NtHeaders *Headers() const { return At<NtHeaders>(At<IMAGE_DOS_HEADER>(0)->e_lfanew); }
    std::vector<const IMAGE_SECTION_HEADER *> Sections() const {
        const NtHeaders *headers = Headers();
        std::size_t first = At<IMAGE_DOS_HEADER>(0)->e_lfanew + offsetof(NtHeaders, OptionalHeader) +
                            headers->FileHeader.SizeOfOptionalHeader;
        std::vector<const IMAGE_SECTION_HEADER *> sections;
        for (int i = 0; i < headers->FileHeader.NumberOfSections; ++i)
            sections.push_back(At<IMAGE_SECTION_HEADER>(first + i * sizeof(IMAGE_SECTION_HEADER)));
        return sections;
    }
    const IMAGE_SECTION_HEADER *Section(const char *name) const {
        for (const IMAGE_SECTION_HEADER *section : Sections()) {
            if (std::strncmp(reinterpret_cast<const char *>(section->Name), name, IMAGE_SIZEOF_SHORT_NAME) == 0)
                return section;
        }
        return nullptr;
    }
    // The file offset of a relative virtual address; 0 when no section
    // holds it.
    std::size_t Offset(DWORD rva) const {
        for (const IMAGE_SECTION_HEADER *section : Sections()) {
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->SizeOfRawData)
                return rva - section->VirtualAddress + section->PointerToRawData;
        }
        return 0;
    }
    // The DLLs of the import table; empty when the image has none.
    std::vector<std::string> ImportedDlls() const {
        std::vector<std::string> names;
        const IMAGE_DATA_DIRECTORY &directory = Headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (directory.VirtualAddress == 0) return names;
        for (std::size_t at = Offset(directory.VirtualAddress); at != 0; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            auto descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(at);
            if (descriptor->Name == 0) break;
            names.push_back(reinterpret_cast<const char *>(&m_bytes[Offset(descriptor->Name)]));
        }
        return names;
    }
    const unsigned char *Bytes(std::size_t offset) const { return &m_bytes[offset]; }

private:
    template <class T>
    const T *At(std::size_t offset) const {
        return reinterpret_cast<const T *>(&m_bytes[offset]);
    }
    std::vector<unsigned char> m_bytes;
};

class SetupImage : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_image = new Image(BesideThisProgram("SETUP.EXE")); }
    static void TearDownTestSuite() {
        delete s_image;
        s_image = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(m_image.Valid()) << "SETUP.EXE of this build's architecture beside the tests"; }

    static Image *s_image;
    const Image &m_image = *s_image;
};
Image *SetupImage::s_image = nullptr;

TEST_F(SetupImage, IsAGuiProgramForThisBuildsProcessor) {
    EXPECT_EQ(m_image.Headers()->FileHeader.Machine, kMachine);
    EXPECT_EQ(m_image.Headers()->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(SetupImage, NeedsOnlySystemDlls) {
    const std::vector<std::string> dlls = m_image.ImportedDlls();
    // An image whose import table was not found proves nothing.
    ASSERT_FALSE(dlls.empty()) << "no import table read";
    bool kernel32 = false;
    for (const std::string &dll : dlls) {
        EXPECT_NE(_strnicmp(dll.c_str(), "lib", 3), 0) << dll << " is a compiler runtime DLL";
        kernel32 = kernel32 || _stricmp(dll.c_str(), "kernel32.dll") == 0;
    }
    EXPECT_TRUE(kernel32) << "KERNEL32.dll not among the imports";
}

TEST_F(SetupImage, SharedSectionHoldsCounterAndWindowSlot) {
    const IMAGE_SECTION_HEADER *section = m_image.Section(".sdata");
    ASSERT_NE(section, nullptr);
    // The counter, then the window slot at its natural alignment: 4 + 4
    // bytes on x86, 4 + 4 (padding) + 8 on x64.
    constexpr std::size_t kSize = sizeof(HWND) == 8 ? 16 : 8;
    EXPECT_EQ(section->Misc.VirtualSize, kSize);
    const DWORD wanted = IMAGE_SCN_MEM_SHARED | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE;
    EXPECT_EQ(section->Characteristics & wanted, wanted);
    ASSERT_GE(section->SizeOfRawData, kSize);
    std::vector<unsigned char> atLoad(kSize, 0);
    std::memset(atLoad.data(), 0xFF, sizeof(LONG));
    EXPECT_EQ(std::memcmp(m_image.Bytes(section->PointerToRawData), atLoad.data(), kSize), 0)
        << "g_lInstanceCount -1, then g_hInstanceWnd null";
}

}  // namespace
