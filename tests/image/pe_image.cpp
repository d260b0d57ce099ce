#include "image/pe_image.h"

#include <fstream>
#include <iterator>

namespace pe {
namespace {

constexpr std::uint16_t kPe32 = 0x10b;
constexpr std::uint16_t kPe32Plus = 0x20b;

}  // namespace

Image::Image(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        m_error = "cannot open " + path;
        return;
    }
    m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!ReadHeaders() || !ReadImports()) m_error = path + ": " + m_error;
}

bool Image::Fits(std::size_t offset, std::size_t size) const {
    return offset <= m_bytes.size() && size <= m_bytes.size() - offset;
}

std::uint16_t Image::U16(std::size_t offset) const {
    return static_cast<std::uint16_t>(m_bytes[offset] | m_bytes[offset + 1] << 8);
}

std::uint32_t Image::U32(std::size_t offset) const {
    return U16(offset) | static_cast<std::uint32_t>(U16(offset + 2)) << 16;
}

std::uint64_t Image::U64(std::size_t offset) const {
    return U32(offset) | static_cast<std::uint64_t>(U32(offset + 4)) << 32;
}

bool Image::Offset(std::uint32_t rva, std::size_t &offset) const {
    for (const Section &section : m_sections) {
        if (rva >= section.virtualAddress && rva - section.virtualAddress < section.rawSize) {
            offset = std::size_t{section.rawOffset} + (rva - section.virtualAddress);
            return Fits(offset, 1);
        }
    }
    return false;
}

bool Image::CString(std::uint32_t rva, std::string &text) const {
    std::size_t at = 0;
    if (!Offset(rva, at)) return false;
    text.clear();
    for (; at < m_bytes.size() && m_bytes[at] != 0; ++at) text.push_back(static_cast<char>(m_bytes[at]));
    return at < m_bytes.size();
}

bool Image::ReadHeaders() {
    if (!Fits(0, 0x40) || U16(0) != 0x5A4D) {
        m_error = "no MZ header";
        return false;
    }
    const std::size_t nt = U32(0x3C);
    if (!Fits(nt, 24) || U32(nt) != 0x00004550) {
        m_error = "no PE signature";
        return false;
    }
    const std::size_t coff = nt + 4;
    m_headers.machine = U16(coff);
    const std::uint16_t sectionCount = U16(coff + 2);
    const std::uint16_t optionalSize = U16(coff + 16);
    const std::size_t optional = coff + 20;
    if (!Fits(optional, optionalSize) || optionalSize < 2) {
        m_error = "optional header cut short";
        return false;
    }
    m_headers.optionalMagic = U16(optional);
    // The data directories follow the fields that PE32+ widens to 64 bits.
    std::size_t directories = 0;
    if (m_headers.optionalMagic == kPe32) {
        directories = optional + 96;
    } else if (m_headers.optionalMagic == kPe32Plus) {
        directories = optional + 112;
    } else {
        m_error = "unknown optional header kind";
        return false;
    }
    if (directories + 2 * 8 > optional + optionalSize) {
        m_error = "no import directory";
        return false;
    }
    m_headers.majorOperatingSystemVersion = U16(optional + 40);
    m_headers.minorOperatingSystemVersion = U16(optional + 42);
    m_headers.majorSubsystemVersion = U16(optional + 48);
    m_headers.minorSubsystemVersion = U16(optional + 50);
    m_headers.subsystem = U16(optional + 68);
    m_importRva = U32(directories + 8);

    const std::size_t sections = optional + optionalSize;
    if (!Fits(sections, std::size_t{sectionCount} * 40)) {
        m_error = "section table cut short";
        return false;
    }
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = sections + i * 40;
        m_sections.push_back({U32(at + 12), U32(at + 16), U32(at + 20)});
    }
    return true;
}

bool Image::ReadImports() {
    if (m_importRva == 0) return true;
    const bool wide = m_headers.optionalMagic == kPe32Plus;
    const std::size_t thunkSize = wide ? 8 : 4;
    const std::uint64_t byOrdinal = wide ? 1ull << 63 : 1ull << 31;
    std::size_t descriptor = 0;
    if (!Offset(m_importRva, descriptor)) {
        m_error = "import table outside every section";
        return false;
    }
    for (;; descriptor += 20) {
        if (!Fits(descriptor, 20)) {
            m_error = "import table cut short";
            return false;
        }
        const std::uint32_t lookupRva = U32(descriptor);
        const std::uint32_t nameRva = U32(descriptor + 12);
        const std::uint32_t addressRva = U32(descriptor + 16);
        if (nameRva == 0) return true;
        std::string dll;
        std::size_t thunk = 0;
        if (!CString(nameRva, dll) || !Offset(lookupRva ? lookupRva : addressRva, thunk)) {
            m_error = "import descriptor points outside the image";
            return false;
        }
        for (;; thunk += thunkSize) {
            if (!Fits(thunk, thunkSize)) {
                m_error = "import lookup table of " + dll + " cut short";
                return false;
            }
            const std::uint64_t entry = wide ? U64(thunk) : U32(thunk);
            if (entry == 0) break;
            Import import{dll, {}, 0};
            if (entry & byOrdinal) {
                import.ordinal = static_cast<std::uint16_t>(entry);
            } else if (!CString(static_cast<std::uint32_t>(entry) + 2, import.name)) {
                m_error = "import name of " + dll + " outside the image";
                return false;
            }
            m_imports.push_back(import);
        }
    }
}

}  // namespace pe
