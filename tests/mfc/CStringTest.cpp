#include "mfc/Afx.h"

#include <gtest/gtest.h>

#include <cstring>

// "\x83\x5C" (katakana so) and "\x95\x5C" (hyou) end in 0x5C, the backslash;
// "\x83\x7C" (katakana po) ends in 0x7C, the vertical bar.
#define SO "\x83\x5C"
#define HYOU "\x95\x5C"
#define PO "\x83\x7C"

TEST(CStringSearch, TrailBytesNeverMatchSingleByteSearches)
{
    CString path("C:\\" SO "\\" HYOU);  // C:\ソ\表
    EXPECT_EQ(path.ReverseFind('\\'), 5);  // the last byte is a trail byte

    CString onlyTrail(HYOU);
    EXPECT_EQ(onlyTrail.ReverseFind('\\'), -1);
    EXPECT_EQ(CString(PO).ReverseFind('|'), -1);
    EXPECT_EQ(CString(PO).FindOneOf("|"), -1);
    EXPECT_EQ(CString(PO "|").FindOneOf("|\\"), 2);
    EXPECT_EQ(CString(SO PO).FindOneOf("|\\"), -1);
    // A double-byte character of the set matches as a whole.
    EXPECT_EQ(CString("ab" HYOU).FindOneOf(SO HYOU), 2);
    EXPECT_EQ(CString("").FindOneOf("a"), -1);
}

TEST(CStringParts, LeftMidClampToTheText)
{
    CString s("abcdef");
    EXPECT_STREQ(s.Left(0), "");
    EXPECT_STREQ(s.Left(-3), "");
    EXPECT_STREQ(s.Left(2), "ab");
    EXPECT_STREQ(s.Left(6), "abcdef");
    EXPECT_STREQ(s.Left(100), "abcdef");
    EXPECT_STREQ(s.Mid(2), "cdef");
    EXPECT_STREQ(s.Mid(2, 3), "cde");
    EXPECT_STREQ(s.Mid(4, 100), "ef");
    EXPECT_STREQ(s.Mid(6), "");
    EXPECT_STREQ(s.Mid(60, 2), "");
    EXPECT_STREQ(s.Mid(-2, 3), "abc");
    EXPECT_STREQ(s.Mid(1, -1), "");
    EXPECT_STREQ(s.Mid(1, 0), "");

    // The path parts the program cuts: the separator belongs to the left part.
    CString path("C:\\" SO "\\out.xml");
    int cut = path.ReverseFind('\\');
    EXPECT_STREQ(path.Left(cut + 1), "C:\\" SO "\\");
    EXPECT_STREQ(path.Mid(cut + 1), "out.xml");
}

TEST(CStringBasics, ConstructionAssignmentConcatenation)
{
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_STREQ(CString(std::string_view("hello", 4)), "hell");
    EXPECT_EQ(CString("消費税").GetLength(), 6);  // bytes of code page 932

    CString s = "ab";
    s += "cd";
    s += 'e';
    s += CString("f");
    EXPECT_STREQ(s, "abcdef");
    EXPECT_STREQ(CString("x") + "y" + CString("w"), "xyw");

    // Assigning or appending from its own text.
    s = static_cast<LPCTSTR>(s) + 2;
    EXPECT_STREQ(s, "cdef");
    s += static_cast<LPCTSTR>(s);
    EXPECT_STREQ(s, "cdefcdef");
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.GetLength(), 0);
}

TEST(CStringBuffer, GetBufferReleaseBuffer)
{
    CString s("abc");
    char* p = s.GetBuffer(260);
    EXPECT_STREQ(p, "abc");
    std::strcpy(p, "C:\\longer path\\file.xml");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 23);
    EXPECT_STREQ(s, "C:\\longer path\\file.xml");

    p = s.GetBuffer(0);
    p[2] = 'X';
    s.ReleaseBuffer(3);
    EXPECT_STREQ(s, "C:X");
}

TEST(CStringFormat, PrintfSemantics)
{
    CString s;
    s.Format("%d-%05.1f-%s-%c-%X", -42, 3.14159, "txt", 'q', 255u);
    EXPECT_STREQ(s, "-42-003.1-txt-q-FF");
    CString name("消費税");
    s.Format("[%s]", name);  // a CString argument is passed as its text
    EXPECT_STREQ(s, "[消費税]");
    s.Format("%s/%s", static_cast<LPCTSTR>(name), s);  // its own text as an argument
    EXPECT_STREQ(s, "消費税/[消費税]");
    std::string big(5000, 'x');
    s.Format("%s!", big.c_str());
    EXPECT_EQ(s.GetLength(), 5001);
    s.Format("%lld", 123456789012345LL);
    EXPECT_STREQ(s, "123456789012345");
}

TEST(CStringResources, LoadString)
{
    ResourceTable::RegisterString(61001, "22.50.00");
    CString s("old");
    EXPECT_TRUE(s.LoadString(61001));
    EXPECT_STREQ(s, "22.50.00");
    EXPECT_FALSE(s.LoadString(61999));
    EXPECT_TRUE(s.IsEmpty());
    ResourceTable::RegisterString(61001, "replaced");
    EXPECT_TRUE(s.LoadString(61001));
    EXPECT_STREQ(s, "replaced");
}
