// The registry calls' Win32 contract. Only platform headers are used, so
// the same cases run against the real registry of Windows (or Wine) and
// against the simulated machine. Everything happens below a throw-away
// key HKCU\Software\MirtelTest, deleted afterwards.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace {

using namespace win;

const char *const kTestRoot = "Software\\MirtelTest";

// Deletes a key and everything below it, as far as the test made it.
void DeleteTree(HKEY root, const std::string &path, const std::vector<std::string> &children) {
    for (const std::string &child : children) RegDeleteKeyA(root, (path + "\\" + child).c_str());
    RegDeleteKeyA(root, path.c_str());
}

class RegistryContract : public ::testing::Test {
protected:
    void SetUp() override {
        Cleanup();
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &m_key, &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    }
    void TearDown() override {
        if (m_key != nullptr) RegCloseKey(m_key);
        Cleanup();
    }
    static void Cleanup() {
        DeleteTree(HKEY_CURRENT_USER, kTestRoot,
                   {"A\\B\\C", "A\\B", "A", "Mixed", "ReadOnly", "Gone"});
    }
    // The data are passed from a buffer whose next byte is not zero: given
    // a string value without its terminator, Windows stores one more byte
    // when the byte after the data happens to be zero.
    void Set(const char *name, DWORD type, const std::string &bytes) {
        const std::string guarded = bytes + '\xaa';
        ASSERT_EQ(RegSetValueExA(m_key, name, 0, type, reinterpret_cast<const BYTE *>(guarded.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS)
            << name;
    }
    HKEY m_key = nullptr;
};

struct StoredValue {
    const char *name;
    DWORD type;
    std::string bytes;
};

const StoredValue kStoredValues[] = {
    {"Text", REG_SZ, std::string("printer\0", 8)},
    {"NoZero", REG_SZ, "abc"},
    {"DoubleZero", REG_SZ, std::string("ab\0\0", 4)},
    {"Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\\inf\0", 17)},
    {"Multi", REG_MULTI_SZ, std::string("Terminal Server\0Other\0\0", 23)},
    {"EmptyMulti", REG_MULTI_SZ, std::string("\0", 1)},
    {"Number", REG_DWORD, std::string("\x01\x02\x03\x04", 4)},
    {"Blob", REG_BINARY, std::string("\x00\xff\x7f\x80", 4)},
    {"EmptyBlob", REG_BINARY, ""},
    {"", REG_SZ, std::string("default\0", 8)},
    {"odd \"name\" \\ with=signs", REG_SZ, std::string("x\0", 2)},
};

TEST_F(RegistryContract, ValuesKeepTheirTypeAndBytes) {
    for (const StoredValue &v : kStoredValues) Set(v.name, v.type, v.bytes);
    for (const StoredValue &v : kStoredValues) {
        DWORD type = 0xdead, size = 0;
        EXPECT_EQ(RegQueryValueExA(m_key, v.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS) << v.name;
        EXPECT_EQ(type, v.type) << v.name;
        EXPECT_EQ(size, v.bytes.size()) << v.name;
        std::vector<BYTE> data(v.bytes.size() + 8, 0xcc);
        size = static_cast<DWORD>(data.size());
        EXPECT_EQ(RegQueryValueExA(m_key, v.name, nullptr, &type, data.data(), &size), ERROR_SUCCESS);
        EXPECT_EQ(size, v.bytes.size()) << v.name;
        EXPECT_EQ(std::string(data.begin(), data.begin() + size), v.bytes) << v.name;
    }
}

TEST_F(RegistryContract, QueryProtocol) {
    Set("Value", REG_SZ, std::string("12345\0", 6));
    const struct {
        const char *what;
        bool withBuffer;
        DWORD offered;
        LONG result;
        DWORD sizeAfter;
    } cases[] = {
        {"size only", false, 0, ERROR_SUCCESS, 6},
        {"size only ignores the offer", false, 2, ERROR_SUCCESS, 6},
        {"too small", true, 5, ERROR_MORE_DATA, 6},
        {"zero capacity", true, 0, ERROR_MORE_DATA, 6},
        {"exact", true, 6, ERROR_SUCCESS, 6},
        {"larger", true, 100, ERROR_SUCCESS, 6},
    };
    for (const auto &c : cases) {
        BYTE buffer[100] = {};
        DWORD size = c.offered;
        DWORD type = 0;
        EXPECT_EQ(RegQueryValueExA(m_key, "Value", nullptr, &type, c.withBuffer ? buffer : nullptr, &size),
                  c.result)
            << c.what;
        EXPECT_EQ(size, c.sizeAfter) << c.what;
        EXPECT_EQ(type, REG_SZ) << c.what;
    }
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(m_key, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryContract, NamesIgnoreCaseAndKeepTheFirstSpelling) {
    Set("DevicePath", REG_SZ, std::string("a\0", 2));
    Set("DEVICEPATH", REG_EXPAND_SZ, std::string("b\0", 2));
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(m_key, "devicepath", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_EXPAND_SZ);

    HKEY created = nullptr, opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(m_key, "Mixed", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\mirteltest\\MIXED", 0, KEY_READ, &opened),
              ERROR_SUCCESS);
    RegCloseKey(opened);
}

TEST_F(RegistryContract, DeleteValue) {
    Set("Doomed", REG_DWORD, std::string("\1\0\0\0", 4));
    EXPECT_EQ(RegDeleteValueA(m_key, "DOOMED"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(m_key, "Doomed"), ERROR_FILE_NOT_FOUND);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(m_key, "Doomed", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryContract, CreateMakesIntermediateKeysAndOpenDoesNot) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(m_key, "A\\B\\C", 0, KEY_ALL_ACCESS, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(m_key, "A", 0, KEY_ALL_ACCESS, &key), ERROR_FILE_NOT_FOUND);

    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(m_key, "A\\B\\C", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(m_key, "a\\b\\c", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyA(m_key, "A\\B", &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryContract, DeleteKey) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(m_key, "A\\B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_NE(RegDeleteKeyA(m_key, "A"), ERROR_SUCCESS);  // it has a subkey
    EXPECT_EQ(RegDeleteKeyA(m_key, "A\\B"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(m_key, "A"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(m_key, "A"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(m_key, "A", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryContract, ReadOnlyKeyRefusesChanges) {
    HKEY created = nullptr, readOnly = nullptr;
    ASSERT_EQ(RegCreateKeyExA(m_key, "ReadOnly", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created);
    ASSERT_EQ(RegOpenKeyExA(m_key, "ReadOnly", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
    const BYTE one[4] = {1, 0, 0, 0};
    EXPECT_EQ(RegSetValueExA(readOnly, "X", 0, REG_DWORD, one, 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueA(readOnly, "X"), ERROR_ACCESS_DENIED);
    RegCloseKey(readOnly);
}

TEST_F(RegistryContract, ChangesAreSeenThroughOtherHandles) {
    HKEY other = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestRoot, 0, KEY_ALL_ACCESS, &other), ERROR_SUCCESS);
    Set("Shared", REG_DWORD, std::string("\7\0\0\0", 4));
    DWORD value = 0, size = sizeof value, type = 0;
    EXPECT_EQ(RegQueryValueExA(other, "Shared", nullptr, &type, reinterpret_cast<BYTE *>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(RegCloseKey(other), ERROR_SUCCESS);
}

}  // namespace
