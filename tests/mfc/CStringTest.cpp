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
    EXPECT_EQ(path.Find('\\'), 2);
    EXPECT_EQ(path.Find('\\', 3), 5);    // the 0x5C at index 4 is a trail byte
    EXPECT_EQ(path.Find('\\', 6), -1);   // so is the last byte
    EXPECT_EQ(path.ReverseFind('\\'), 5);

    CString onlyTrail(HYOU);
    EXPECT_EQ(onlyTrail.Find('\\'), -1);
    EXPECT_EQ(onlyTrail.ReverseFind('\\'), -1);
    EXPECT_EQ(CString(PO).Find('|'), -1);
    EXPECT_EQ(CString(PO "|").Find('|'), 2);
    EXPECT_EQ(CString(PO "|").FindOneOf("|\\"), 2);
    EXPECT_EQ(CString(SO PO).FindOneOf("|\\"), -1);
    // A double-byte character of the set matches as a whole.
    EXPECT_EQ(CString("ab" HYOU).FindOneOf(SO HYOU), 2);
    EXPECT_EQ(CString("").FindOneOf("a"), -1);
}

TEST(CStringSearch, SubstringMatchesOnlyAtCharacterStarts)
{
    // One real backslash after a character whose trail byte is 0x5C: no "\\\\" here.
    CString p("C:" SO "\\x");
    EXPECT_EQ(p.Find("\\\\"), -1);
    EXPECT_EQ(p.Find("\\x"), 4);
    CString q("\\\\server\\share");
    EXPECT_EQ(q.Find("\\\\"), 0);
    EXPECT_EQ(q.Find("\\\\", 1), -1);
    EXPECT_EQ(q.Find(":"), -1);
    EXPECT_EQ(CString("abcabc").Find("bc", 2), 4);
    EXPECT_EQ(CString("abc").Find("abcd"), -1);
    EXPECT_EQ(CString("abc").Find("c", 10), -1);
    // A start inside a double-byte character begins at the next character.
    EXPECT_EQ(CString(SO "\\").Find('\\', 1), 2);
}

TEST(CStringParts, LeftRightMidClampToTheText)
{
    CString s("abcdef");
    EXPECT_STREQ(s.Left(0), "");
    EXPECT_STREQ(s.Left(-3), "");
    EXPECT_STREQ(s.Left(2), "ab");
    EXPECT_STREQ(s.Left(6), "abcdef");
    EXPECT_STREQ(s.Left(100), "abcdef");
    EXPECT_STREQ(s.Right(2), "ef");
    EXPECT_STREQ(s.Right(-1), "");
    EXPECT_STREQ(s.Right(100), "abcdef");
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
    EXPECT_STREQ(path.Right(path.GetLength() - cut - 1), "out.xml");
}

TEST(CStringBasics, ConstructionAssignmentConcatenation)
{
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_STREQ(CString("abcdef", 3), "abc");
    EXPECT_STREQ(CString("ab", 10), "ab");
    EXPECT_STREQ(CString('x', 3), "xxx");
    EXPECT_STREQ(CString(std::string_view("hello", 4)), "hell");
    EXPECT_EQ(CString("消費税").GetLength(), 6);  // bytes of code page 932

    CString s = "ab";
    s += "cd";
    s += 'e';
    s += CString("f");
    EXPECT_STREQ(s, "abcdef");
    EXPECT_STREQ(CString("x") + "y" + 'z' + CString("w"), "xyzw");
    EXPECT_STREQ("pre" + CString("fix"), "prefix");
    EXPECT_STREQ('#' + CString("1"), "#1");

    // Assigning or appending from its own text.
    s = s.GetString() + 2;
    EXPECT_STREQ(s, "cdef");
    s += s.GetString();
    EXPECT_STREQ(s, "cdefcdef");
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.GetLength(), 0);

    CString t("abc");
    EXPECT_EQ(t[1], 'b');
    EXPECT_EQ(t.GetAt(2), 'c');
    t.SetAt(0, 'X');
    EXPECT_STREQ(t, "Xbc");
}

TEST(CStringBasics, Comparisons)
{
    CString a("abc");
    EXPECT_TRUE(a == "abc");
    EXPECT_TRUE("abc" == a);
    EXPECT_TRUE(a == CString("abc"));
    EXPECT_TRUE(a != "abd");
    EXPECT_TRUE(a < "abd");
    EXPECT_TRUE(CString("ab") < a);
    EXPECT_FALSE(a < a);
    EXPECT_LT(a.Compare("abd"), 0);
    EXPECT_GT(a.Compare("ab"), 0);
    EXPECT_EQ(a.Compare("abc"), 0);
    // Bytes compare unsigned: a lead byte sorts after ASCII.
    EXPECT_GT(CString(SO).Compare("z"), 0);
    EXPECT_EQ(CString("AbC").CompareNoCase("aBc"), 0);
    EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
    EXPECT_GT(CString("abcd").CompareNoCase("ABC"), 0);
    // Trail bytes that look like letters are not folded: 0x83 0x61 vs 0x83 0x41.
    EXPECT_NE(CString("\x83\x61").CompareNoCase("\x83\x41"), 0);
}

TEST(CStringEdit, CaseTrimReplace)
{
    // "\x83\x61" and "\x83\x41" are double-byte characters whose trail bytes are letters.
    CString s("ab\x83\x61" "c");
    s.MakeUpper();
    EXPECT_STREQ(s, "AB\x83\x61" "C");
    CString t("AB\x83\x41" "C");
    t.MakeLower();
    EXPECT_STREQ(t, "ab\x83\x41" "c");

    CString w(" \t x y \r\n");
    w.TrimLeft();
    EXPECT_STREQ(w, "x y \r\n");
    w.TrimRight();
    EXPECT_STREQ(w, "x y");
    // A trailing 0x5C that is the trail of a double-byte character stays.
    CString p("C:\\" SO "\\\\");
    p.TrimRight('\\');
    EXPECT_STREQ(p, "C:\\" SO);
    p.TrimRight('\\');
    EXPECT_STREQ(p, "C:\\" SO);
    CString z("00120");
    z.TrimLeft('0');
    EXPECT_STREQ(z, "120");
    CString all("xxx");
    all.TrimRight("x");
    EXPECT_TRUE(all.IsEmpty());

    CString r("a\\" SO "\\b");
    EXPECT_EQ(r.Replace('\\', '/'), 2);
    EXPECT_STREQ(r, "a/" SO "/b");
    CString r2(SO "\\" SO);
    EXPECT_EQ(r2.Replace("\\", "\\\\"), 1);
    EXPECT_STREQ(r2, SO "\\\\" SO);
    CString r3("aaa");
    EXPECT_EQ(r3.Replace("a", "aa"), 3);
    EXPECT_STREQ(r3, "aaaaaa");
    EXPECT_EQ(r3.Replace("", "x"), 0);
    CString r4("a" SO "b\\");
    EXPECT_EQ(r4.Remove('\\'), 1);
    EXPECT_STREQ(r4, "a" SO "b");
    CString ins("ac");
    ins.Insert(1, 'b');
    ins.Insert(99, "d");
    EXPECT_STREQ(ins, "abcd");
    ins.Delete(1, 2);
    EXPECT_STREQ(ins, "ad");
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

    p = s.GetBufferSetLength(5);
    std::memcpy(p, "12345", 5);
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_STREQ(s, "12345");
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
    ResourceTable::RegisterString(61002, "%d件");
    CString s("old");
    EXPECT_TRUE(s.LoadString(61001));
    EXPECT_STREQ(s, "22.50.00");
    EXPECT_FALSE(s.LoadString(61999));
    EXPECT_TRUE(s.IsEmpty());
    s.Format(61002u, 7);
    EXPECT_STREQ(s, "7件");
    ResourceTable::RegisterString(61001, "replaced");
    EXPECT_TRUE(s.LoadString(61001));
    EXPECT_STREQ(s, "replaced");
}
