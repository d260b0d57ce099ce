// The built SETUP.EXE as a file: a 32-bit x86 GUI program that needs no
// DLL of the compiler's, with the 8-byte shared section ".sdata" holding
// the copy counter (-1) and the window slot (null) at load.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "beside.h"

namespace {

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
               static_cast<std::size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) <= m_bytes.size() &&
               Headers()->Signature == IMAGE_NT_SIGNATURE;
    }
    const IMAGE_NT_HEADERS32 *Headers() const {
        return At<IMAGE_NT_HEADERS32>(At<IMAGE_DOS_HEADER>(0)->e_lfanew);
    }
    std::vector<const IMAGE_SECTION_HEADER *> Sections() const {
        const IMAGE_NT_HEADERS32 *headers = Headers();
        std::size_t first = At<IMAGE_DOS_HEADER>(0)->e_lfanew +
                            offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                            headers->FileHeader.SizeOfOptionalHeader;
        std::vector<const IMAGE_SECTION_HEADER *> sections;
        for (int i = 0; i < headers->FileHeader.NumberOfSections; ++i)
            sections.push_back(At<IMAGE_SECTION_HEADER>(first + i * sizeof(IMAGE_SECTION_HEADER)));
        return sections;
    }
    const IMAGE_SECTION_HEADER *Section(const char *name) const {
        for (const IMAGE_SECTION_HEADER *section : Sections()) {
            if (std::strncmp(reinterpret_cast<const char *>(section->Name), name,
                             IMAGE_SIZEOF_SHORT_NAME) == 0)
                return section;
        }
        return nullptr;
    }
    // The file offset of a relative virtual address.
    std::size_t Offset(DWORD rva) const {
        for (const IMAGE_SECTION_HEADER *section : Sections()) {
            if (rva >= section->VirtualAddress &&
                rva < section->VirtualAddress + section->SizeOfRawData)
                return rva - section->VirtualAddress + section->PointerToRawData;
        }
        return 0;
    }
    std::vector<std::string> ImportedDlls() const {
        std::vector<std::string> names;
        const IMAGE_DATA_DIRECTORY &directory =
            Headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (std::size_t at = Offset(directory.VirtualAddress); at != 0;
             at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
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
    void SetUp() override { ASSERT_TRUE(m_image.Valid()) << "SETUP.EXE beside the tests"; }

    static Image *s_image;
    const Image &m_image = *s_image;
};
Image *SetupImage::s_image = nullptr;

TEST_F(SetupImage, IsA32BitGuiProgram) {
    EXPECT_EQ(m_image.Headers()->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(m_image.Headers()->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(SetupImage, NeedsOnlySystemDlls) {
    for (const std::string &dll : m_image.ImportedDlls()) {
        EXPECT_NE(_strnicmp(dll.c_str(), "lib", 3), 0) << dll << " is a compiler runtime DLL";
    }
}

TEST_F(SetupImage, SharedSectionHoldsCounterAndWindowSlot) {
    const IMAGE_SECTION_HEADER *section = m_image.Section(".sdata");
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->Misc.VirtualSize, 8u);
    const DWORD wanted = IMAGE_SCN_MEM_SHARED | IMAGE_SCN_MEM_READ | IMAGE_SCN_MEM_WRITE;
    EXPECT_EQ(section->Characteristics & wanted, wanted);
    ASSERT_GE(section->SizeOfRawData, 8u);
    const unsigned char atLoad[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(m_image.Bytes(section->PointerToRawData), atLoad, 8), 0)
        << "g_lInstanceCount -1, then g_hInstanceWnd null";
}

}  // namespace
