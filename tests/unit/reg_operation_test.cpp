// CRegOperation: one open key per object. Only the registry service is used
// underneath, so the same cases run on the simulated machine and on the
// real registry of Windows (or Wine). Everything happens below a throw-away
// key HKCU\Software\MirtelTest\RegOperation, deleted afterwards.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "registry/reg_operation.h"

namespace {

const char *const kKey = "Software\\MirtelTest\\RegOperation";
const char *const kMissingKey = "Software\\MirtelTest\\RegOperation\\Missing";

class RegOperationTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
    void TearDown() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\MirtelTest");
    }
};

// The data come from a buffer whose next byte is not zero: given a string
// value without its terminator, Windows stores one more byte when the byte
// after the data happens to be zero.
BOOL Store(CRegOperation &key, const char *name, DWORD type, const std::string &bytes) {
    const std::string guarded = bytes + '\xaa';
    return key.SetValue(name, type, static_cast<DWORD>(bytes.size()),
                        reinterpret_cast<const BYTE *>(guarded.data()));
}

std::string Read(CRegOperation &key, const char *name, DWORD &type) {
    DWORD size = 0;
    if (!key.QueryValueSize(name, size)) return "<absent>";
    std::string data(size, '\0');
    if (!key.QueryValue(name, size, type, reinterpret_cast<BYTE *>(&data[0]))) return "<failed>";
    return data;
}

TEST_F(RegOperationTest, AKeyThatDoesNotOpenIsInertAndCreatesNothing) {
    CRegOperation missing(HKEY_CURRENT_USER, kMissingKey, FALSE, KEY_ALL_ACCESS);
    EXPECT_EQ(missing.m_hKey, nullptr);
    DWORD size = 0, type = 0, value = 7;
    BYTE byte = 0;
    EXPECT_FALSE(missing.QueryValueSize("x", size));
    EXPECT_FALSE(missing.QueryValue("x", 1, type, &byte));
    EXPECT_FALSE(missing.QueryDwordValue("x", type, value));
    EXPECT_EQ(value, 7u);
    EXPECT_FALSE(Store(missing, "x", REG_SZ, std::string("a\0", 2)));
    EXPECT_FALSE(missing.DeleteValue("x"));

    CRegOperation again(HKEY_CURRENT_USER, kMissingKey, FALSE, KEY_ALL_ACCESS);
    EXPECT_EQ(again.m_hKey, nullptr) << "a failed open must not create the key";
}

TEST_F(RegOperationTest, ValuesGoBackByteForByteWithTheirTypes) {
    CRegOperation key(HKEY_CURRENT_USER, kKey, TRUE, KEY_ALL_ACCESS);
    ASSERT_NE(key.m_hKey, nullptr);
    const struct {
        const char *name;
        DWORD type;
        std::string bytes;
    } values[] = {
        {"DevicePath", REG_EXPAND_SZ, std::string("%SystemRoot%\\inf\0", 17)},
        {"Installation Sources", REG_MULTI_SZ, std::string("D:\\Drivers\0\0", 12)},
        // A byte count larger than the string stores exactly that many bytes.
        {"Doubled", REG_SZ, std::string("abc\0\0", 5)},
        {"NoTerminator", REG_SZ, std::string("abc", 3)},
        {"Binary", REG_BINARY, std::string("\x00\x01\xfe\xff", 4)},
        {"", REG_SZ, std::string("default\0", 8)},
    };
    for (const auto &v : values) ASSERT_TRUE(Store(key, v.name, v.type, v.bytes)) << v.name;

    CRegOperation reopened(HKEY_CURRENT_USER, kKey, FALSE, KEY_ALL_ACCESS);
    for (const auto &v : values) {
        DWORD type = 0;
        EXPECT_EQ(Read(reopened, v.name, type), v.bytes) << v.name;
        EXPECT_EQ(type, v.type) << v.name;
    }
    DWORD size = 99;
    EXPECT_FALSE(reopened.QueryValueSize("Absent", size));
}

TEST_F(RegOperationTest, DwordReadsOnlyFourByteDwords) {
    CRegOperation key(HKEY_CURRENT_USER, kKey, TRUE, KEY_ALL_ACCESS);
    ASSERT_NE(key.m_hKey, nullptr);
    ASSERT_TRUE(Store(key, "One", REG_DWORD, std::string("\x01\x00\x00\x00", 4)));
    ASSERT_TRUE(Store(key, "All", REG_DWORD, std::string("\xff\xff\xff\xff", 4)));
    ASSERT_TRUE(Store(key, "Text", REG_SZ, std::string("1\0", 2)));
    ASSERT_TRUE(Store(key, "Short", REG_DWORD, std::string("\x01\x00", 2)));

    const struct {
        const char *name;
        BOOL ok;
        DWORD value;
    } cases[] = {{"One", TRUE, 1}, {"All", TRUE, 0xFFFFFFFF}, {"Text", FALSE, 77},
                 {"Short", FALSE, 77}, {"Absent", FALSE, 77}};
    for (const auto &c : cases) {
        DWORD type = 0, value = 77;
        EXPECT_EQ(key.QueryDwordValue(c.name, type, value), c.ok) << c.name;
        EXPECT_EQ(value, c.value) << c.name;
    }
}

TEST_F(RegOperationTest, DeletingAMissingValueCountsAsDeleted) {
    CRegOperation key(HKEY_CURRENT_USER, kKey, TRUE, KEY_ALL_ACCESS);
    ASSERT_TRUE(Store(key, "Gone", REG_SZ, std::string("x\0", 2)));
    EXPECT_TRUE(key.DeleteValue("Gone"));
    EXPECT_TRUE(key.DeleteValue("Gone"));
    DWORD size = 0;
    EXPECT_FALSE(key.QueryValueSize("Gone", size));
}

}  // namespace
