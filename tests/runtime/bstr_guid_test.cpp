// Wide strings and the text form of GUIDs.
#include <gtest/gtest.h>
#include <q5client/com.h>

#include <cstring>
#include <string>

namespace {

std::uint32_t PrefixOf(BSTR s) {
    std::uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<const char*>(s) - sizeof prefix, sizeof prefix);
    return prefix;
}

TEST(Bstr, PrefixHoldsByteCountAndTextIsZeroTerminated) {
    BStr s(u"Q5 \u00e9\u4e2d");
    ASSERT_NE(s.Get(), nullptr);
    EXPECT_EQ(PrefixOf(s.Get()), 5u * sizeof(char16_t));
    EXPECT_EQ(SysStringLen(s.Get()), 5u);
    EXPECT_EQ(SysStringByteLen(s.Get()), 10u);
    EXPECT_EQ(s.Get()[5], u'\0');
    EXPECT_EQ(s.View(), u"Q5 \u00e9\u4e2d");

    BStr empty(u"");
    ASSERT_NE(empty.Get(), nullptr) << "an empty string is not a null BSTR";
    EXPECT_EQ(PrefixOf(empty.Get()), 0u);
    EXPECT_EQ(empty.Get()[0], u'\0');
}

TEST(Bstr, EmbeddedZerosSurviveWhenLengthIsGiven) {
    const char16_t text[] = u"a\0b\0c";
    BStr counted(text, 5);
    EXPECT_EQ(counted.Length(), 5u);
    EXPECT_EQ(counted.View(), std::u16string_view(text, 5));
    EXPECT_EQ(counted.Get()[5], u'\0');

    BStr measured(text);
    EXPECT_EQ(measured.Length(), 1u) << "SysAllocString stops at the first zero";
}

TEST(Bstr, NullIsAValidEmptyString) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);

    // No source text: the space is allocated, zeroed and terminated.
    BStr blank(nullptr, 4);
    ASSERT_NE(blank.Get(), nullptr);
    EXPECT_EQ(blank.Length(), 4u);
    for (UINT i = 0; i <= 4; ++i) EXPECT_EQ(blank.Get()[i], u'\0');
}

TEST(Bstr, LengthWhoseByteCountOverflowsThePrefixIsRefused) {
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
    EXPECT_EQ(SysAllocStringLen(nullptr, 0xFFFFFFFFu), nullptr);
}

constexpr GUID kSample{0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};

TEST(Guid, FormatsUpperCaseBracedAndParsesBackInEitherCase) {
    char16_t text[39];
    ASSERT_EQ(StringFromGUID2(kSample, text, 39), 39);
    EXPECT_EQ(std::u16string(text), u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}");

    CLSID parsed{};
    ASSERT_EQ(CLSIDFromString(text, &parsed), S_OK);
    EXPECT_EQ(parsed, kSample);
    ASSERT_EQ(CLSIDFromString(u"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}", &parsed), S_OK);
    EXPECT_EQ(parsed, kSample);

    std::fill(std::begin(text), std::end(text), u'#');
    EXPECT_EQ(StringFromGUID2(kSample, text, 38), 0) << "no room for the zero";
    EXPECT_EQ(text[0], u'#');
}

TEST(Guid, MalformedTextIsRefusedAndYieldsNullGuid) {
    const char16_t* bad[] = {
        u"",
        u"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9",     // no braces
        u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F}",    // short
        u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F90}",  // long
        u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}x",  // trailing text
        u"{0A1B2C3D-4E5F-6071-8293A-4B5C6D7E8F9}",   // dash misplaced
        u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8G9}",   // not hex
        u"{+A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}",   // sign is not a digit
    };
    for (std::size_t i = 0; i < std::size(bad); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        const char16_t* text = bad[i];
        CLSID parsed = kSample;
        EXPECT_EQ(CLSIDFromString(text, &parsed), E_INVALIDARG);
        EXPECT_EQ(parsed, GUID_NULL);
    }
    CLSID parsed{};
    EXPECT_EQ(CLSIDFromString(nullptr, &parsed), E_INVALIDARG);
    EXPECT_EQ(CLSIDFromString(u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}", nullptr), E_POINTER);
}

}  // namespace
