// A Windows program file read as bytes, on any host: the header fields the
// loader checks before it starts a program, and the import table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pe {

// One entry of the import table: a function by name, or by ordinal when
// `name` is empty.
struct Import {
    std::string dll;
    std::string name;
    std::uint16_t ordinal = 0;
};

struct Headers {
    std::uint16_t machine = 0;
    std::uint16_t optionalMagic = 0;  // 0x10b PE32, 0x20b PE32+
    std::uint16_t subsystem = 0;
    std::uint16_t majorSubsystemVersion = 0;
    std::uint16_t minorSubsystemVersion = 0;
    std::uint16_t majorOperatingSystemVersion = 0;
    std::uint16_t minorOperatingSystemVersion = 0;
};

class Image {
public:
    // Reads the file; `Error()` says what was wrong with it, empty when
    // every part could be read.
    explicit Image(const std::string &path);

    const std::string &Error() const { return m_error; }
    const Headers &Header() const { return m_headers; }
    const std::vector<Import> &Imports() const { return m_imports; }

private:
    bool ReadHeaders();
    bool ReadImports();
    // The file offset of a relative virtual address; false when no section
    // holds it.
    bool Offset(std::uint32_t rva, std::size_t &offset) const;
    bool Fits(std::size_t offset, std::size_t size) const;
    std::uint16_t U16(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    std::uint64_t U64(std::size_t offset) const;
    bool CString(std::uint32_t rva, std::string &text) const;

    struct Section {
        std::uint32_t virtualAddress;
        std::uint32_t rawSize;
        std::uint32_t rawOffset;
    };
    std::vector<unsigned char> m_bytes;
    std::string m_error;
    Headers m_headers;
    std::vector<Section> m_sections;
    std::uint32_t m_importRva = 0;
    std::vector<Import> m_imports;
};

}  // namespace pe
