// The remembered-conditions file: keys, line format, replacement and the
// writes that must leave the file as it was.
#include "conditions/JokenSettingsFile.h"

#include "TestDrives.h"

#include <sys/resource.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

class JokenSettingsFileTest : public SettingsFileDrives {
protected:
    static JokenSettingsFile::Conditions Make(int mode, short start, short end, int uriage, int shiire, int niwari,
                                              const char* path)
    {
        JokenSettingsFile::Conditions c;
        c.nMode = mode;
        c.nStartMonth = start;
        c.nEndMonth = end;
        c.byUriage = static_cast<BYTE>(uriage);
        c.byShiire = static_cast<BYTE>(shiire);
        c.byNiwari = static_cast<BYTE>(niwari);
        std::strcpy(c.szPath, path);
        return c;
    }
};

TEST_F(JokenSettingsFileTest, KeysOfTheTwoForms)
{
    EXPECT_STREQ(JokenSettingsFile::MakeKey("U1", "D01", false, 7), "U1/D01:");
    EXPECT_STREQ(JokenSettingsFile::MakeKey("U1", "D01", true, 7), "U1/7/D01:");
    EXPECT_STREQ(JokenSettingsFile::MakeKey("U1", "D01", true, -3), "U1/-3/D01:");

    // A 64-byte user ID and a 34-byte data ID: the key is kept whole.
    std::string user(64, 'u'), data(34, 'd');
    CString key = JokenSettingsFile::MakeKey(user.c_str(), data.c_str(), true, 2147483647);
    EXPECT_EQ(key.GetLength(), 64 + 1 + 10 + 1 + 34 + 1);
}

TEST_F(JokenSettingsFileTest, FirstWriteCreatesFolderAndOneLine)
{
    JokenSettingsFile::Conditions out = Make(9, 9, 9, 9, 9, 9, "untouched");
    EXPECT_FALSE(File().Read("U1/D1:", out));
    EXPECT_EQ(out.nMode, 9);  // untouched on 0
    EXPECT_STREQ(out.szPath, "untouched");

    ASSERT_TRUE(File().Write("U1/D1:", Make(0, 4, 3, 1, 2, 1, "C:\\out\\a.xml")));
    EXPECT_EQ(Contents(), "U1/D1:0/4/3/1/2/1/C:\\out\\a.xml\n");

    ASSERT_TRUE(File().Read("U1/D1:", out));
    EXPECT_EQ(out.nMode, 0);
    EXPECT_EQ(out.nStartMonth, 4);
    EXPECT_EQ(out.nEndMonth, 3);
    EXPECT_EQ(out.byUriage, 1);
    EXPECT_EQ(out.byShiire, 2);
    EXPECT_EQ(out.byNiwari, 1);
    EXPECT_STREQ(out.szPath, "C:\\out\\a.xml");
    EXPECT_FALSE(std::filesystem::exists(NewFile()));
}

TEST_F(JokenSettingsFileTest, UserWhoseIdEndsAnotherKeepsSeparateLine)
{
    ASSERT_TRUE(File().Write("U1/D1:", Make(0, 1, 2, 0, 0, 0, "C:\\u1.xml")));
    ASSERT_TRUE(File().Write("XU1/D1:", Make(0, 5, 6, 1, 1, 0, "C:\\xu1.xml")));
    ASSERT_TRUE(File().Write("U1/D1:", Make(0, 3, 4, 0, 0, 0, "C:\\u1b.xml")));

    EXPECT_EQ(Contents(), "XU1/D1:0/5/6/1/1/0/C:\\xu1.xml\nU1/D1:0/3/4/0/0/0/C:\\u1b.xml\n");
    JokenSettingsFile::Conditions out;
    ASSERT_TRUE(File().Read("XU1/D1:", out));
    EXPECT_STREQ(out.szPath, "C:\\xu1.xml");
    ASSERT_TRUE(File().Read("U1/D1:", out));
    EXPECT_STREQ(out.szPath, "C:\\u1b.xml");
    // A key that is only the end of a line's key finds nothing.
    EXPECT_FALSE(File().Read("1/D1:", out));
}

TEST_F(JokenSettingsFileTest, ReplacementMovesLineLastAndKeepsOthersInOrder)
{
    SetContents("A/D:0/1/12/0/0/0/C:\\a.xml\nB/D:1/4/3/1/1/0/\nC/D:0/2/2/0/1/0/C:\\c.xml\n");
    ASSERT_TRUE(File().Write("B/D:", Make(0, 7, 8, 0, 0, 0, "C:\\b.xml")));
    EXPECT_EQ(Contents(), "A/D:0/1/12/0/0/0/C:\\a.xml\nC/D:0/2/2/0/1/0/C:\\c.xml\nB/D:0/7/8/0/0/0/C:\\b.xml\n");
}

TEST_F(JokenSettingsFileTest, PathWithSlashesAndDoubleByteCharactersReadBackWhole)
{
    // 表 is 0x95 0x5C; ソ is 0x83 0x5C; the slashes in the path are no field separators.
    const char* path = "C:\\\x95\x5C/x/\x83\x5C\\a/b.xml";
    ASSERT_TRUE(File().Write("U/D:", Make(1, -2, 300, 255, 0, 0, path)));
    JokenSettingsFile::Conditions out;
    ASSERT_TRUE(File().Read("U/D:", out));
    EXPECT_STREQ(out.szPath, path);
    EXPECT_EQ(out.nMode, 1);
    EXPECT_EQ(out.nStartMonth, -2);
    EXPECT_EQ(out.nEndMonth, 300);
    EXPECT_EQ(out.byUriage, 255);
}

TEST_F(JokenSettingsFileTest, NetworkEditionKeySeparatesSelectedNumbers)
{
    CString k1 = JokenSettingsFile::MakeKey("U", "D", true, 1);
    CString k2 = JokenSettingsFile::MakeKey("U", "D", true, 2);
    ASSERT_TRUE(File().Write(k1, Make(0, 1, 1, 0, 0, 0, "C:\\one.xml")));
    ASSERT_TRUE(File().Write(k2, Make(0, 2, 2, 0, 0, 0, "C:\\two.xml")));
    JokenSettingsFile::Conditions out;
    ASSERT_TRUE(File().Read(k1, out));
    EXPECT_STREQ(out.szPath, "C:\\one.xml");
    ASSERT_TRUE(File().Read(k2, out));
    EXPECT_STREQ(out.szPath, "C:\\two.xml");
    EXPECT_FALSE(File().Read(JokenSettingsFile::MakeKey("U", "D", false, 0), out));
}

TEST_F(JokenSettingsFileTest, NumbersAreReadTheAtoiWayAndCutToTheirWidths)
{
    struct Case {
        const char* line;
        int mode;
        short start, end;
        int uriage, shiire, niwari;
        const char* path;
    };
    const Case cases[] = {
        // Other characters end a number; none at all read as 0; 257 keeps its low byte.
        {"K:0xyz/ 6/9abc/257/0/0/C:\\OUT\\x.xml\n", 0, 6, 9, 1, 0, 0, "C:\\OUT\\x.xml"},
        {"K:+1/\t-3/x/ +2/-1/abc/p\n", 1, -3, 0, 2, 255, 0, "p"},
        // Cut to 16 bits and to the low byte: 70000 is 4464, 65535 is -1, 511 is 255.
        {"K:0/70000/65535/511/256/258/p\n", 0, 4464, -1, 255, 0, 2, "p"},
        // Overflow saturates before the cut: INT_MAX keeps 0xFFFF / 0xFF, INT_MIN 0.
        {"K:99999999999999999999/4294967300/-4294967300/4294967300/-99999999999/0/p\n", INT_MAX, -1, 0, 255, 0,
         0, "p"},
        // A blank alone is a field, read as 0; the path may be empty.
        {"K: /1/2/0/0/0/\n", 0, 1, 2, 0, 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SetContents(c.line);
        JokenSettingsFile::Conditions out;
        ASSERT_TRUE(File().Read("K:", out));
        EXPECT_EQ(out.nMode, c.mode);
        EXPECT_EQ(out.nStartMonth, c.start);
        EXPECT_EQ(out.nEndMonth, c.end);
        EXPECT_EQ(out.byUriage, c.uriage);
        EXPECT_EQ(out.byShiire, c.shiire);
        EXPECT_EQ(out.byNiwari, c.niwari);
        EXPECT_STREQ(out.szPath, c.path);
    }

    // Such a line is the user's line: the next write of another key keeps
    // it byte for byte, the write of its own key replaces it.
    SetContents("K:0xyz/ 6/9abc/257/0/0/C:\\OUT\\x.xml\n");
    ASSERT_TRUE(File().Write("L:", Make(0, 1, 1, 0, 0, 0, "l")));
    EXPECT_EQ(Contents(), "K:0xyz/ 6/9abc/257/0/0/C:\\OUT\\x.xml\nL:0/1/1/0/0/0/l\n");
    ASSERT_TRUE(File().Write("K:", Make(0, 6, 9, 1, 0, 0, "C:\\OUT\\x.xml")));
    EXPECT_EQ(Contents(), "L:0/1/1/0/0/0/l\nK:0/6/9/1/0/0/C:\\OUT\\x.xml\n");
}

TEST_F(JokenSettingsFileTest, DamagedLinesReadAsNothingAndAreReplaced)
{
    JokenSettingsFile::Conditions out = Make(9, 9, 9, 9, 9, 9, "keep");
    const char* damaged[] = {
        "K:0/4/3/1/1\n",                   // five slashes
        "K:0//3/1/1/0/C:\\a\n",            // empty field
        "K:/4/3/1/1/0/C:\\a\n",            // empty first field
        "K:0/4/3/1/1/\n",                  // five slashes, the last one ending the fifth field
    };
    for (const char* line : damaged) {
        SetContents(line);
        EXPECT_FALSE(File().Read("K:", out)) << line;
    }
    SetContents(std::string("K:0/4/3/1/1/0/C:\\") + std::string(258, 'p') + "\n");
    EXPECT_FALSE(File().Read("K:", out));
    SetContents(std::string("K:0/4/3/1/1/0/C:\\a\0b\n", 21));
    EXPECT_FALSE(File().Read("K:", out));
    EXPECT_EQ(out.nMode, 9);
    // The longest path that is read: 260 bytes.
    SetContents(std::string("K:0/4/3/1/1/0/C:\\") + std::string(257, 'p') + "\n");
    ASSERT_TRUE(File().Read("K:", out));
    EXPECT_EQ(std::strlen(out.szPath), 260u);

    // The next write replaces the damaged line and keeps the neighbours.
    SetContents("A:0/1/1/0/0/0/a\nK:0//x\nB:0/2/2/0/0/0/b\n");
    ASSERT_TRUE(File().Write("K:", Make(0, 5, 5, 0, 0, 0, "k")));
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\nB:0/2/2/0/0/0/b\nK:0/5/5/0/0/0/k\n");
}

TEST_F(JokenSettingsFileTest, LastLineWithoutLineFeedIsReadAndNotRunInto)
{
    SetContents("A:0/1/2/0/0/0/C:\\a.xml\r\nB:0/3/4/1/1/0/C:\\b.xml");
    JokenSettingsFile::Conditions out;
    ASSERT_TRUE(File().Read("B:", out));
    EXPECT_STREQ(out.szPath, "C:\\b.xml");
    ASSERT_TRUE(File().Read("A:", out));  // CR of a CR LF line is no part of the path
    EXPECT_STREQ(out.szPath, "C:\\a.xml");

    ASSERT_TRUE(File().Write("C:", Make(0, 5, 6, 0, 0, 0, "c")));
    EXPECT_EQ(Contents(), "A:0/1/2/0/0/0/C:\\a.xml\r\nB:0/3/4/1/1/0/C:\\b.xml\nC:0/5/6/0/0/0/c\n");
    ASSERT_TRUE(File().Read("B:", out));
    EXPECT_STREQ(out.szPath, "C:\\b.xml");
}

TEST_F(JokenSettingsFileTest, DuplicateLinesOfOneKeyAreAllReplaced)
{
    SetContents("K:0/1/1/0/0/0/first\nA:0/1/1/0/0/0/a\nK:0/2/2/0/0/0/second\n");
    JokenSettingsFile::Conditions out;
    ASSERT_TRUE(File().Read("K:", out));
    EXPECT_STREQ(out.szPath, "first");
    ASSERT_TRUE(File().Write("K:", Make(0, 3, 3, 0, 0, 0, "third")));
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\nK:0/3/3/0/0/0/third\n");
}

// Lines that writes cut short left hidden behind a NUL, and blanked ones,
// are dropped by the next write that puts a new file in place, also for a
// new key.
TEST_F(JokenSettingsFileTest, HiddenAndBlankedLinesGoWithTheNextNewFile)
{
    SetContents(std::string("A:0/1/1/0/0/0/a\n\0:0/2/2/0/0/0/cut\n   \nK:0/1/1/0/0/0/k\n\0:0/3/3/0/0/0/c", 69));
    ASSERT_TRUE(File().Write("K:", Make(0, 2, 2, 0, 0, 0, "k")));
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\nK:0/2/2/0/0/0/k\n");
    SetContents(std::string("A:0/1/1/0/0/0/a\n\0:0/2/2/0/0/0/cut\n", 34));
    ASSERT_TRUE(File().Write("L:", Make(0, 2, 2, 0, 0, 0, "l")));
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\nL:0/2/2/0/0/0/l\n");
}

TEST_F(JokenSettingsFileTest, UnstorableValuesAreRefusedWithoutTouchingTheFile)
{
    SetContents("A:0/1/1/0/0/0/a\n");
    JokenSettingsFile::Conditions c = Make(0, 1, 1, 0, 0, 0, "x");
    c.szPath[0] = '\n';
    EXPECT_FALSE(File().Write("K:", c));
    EXPECT_FALSE(File().Write("K\n:", Make(0, 1, 1, 0, 0, 0, "x")));
    EXPECT_FALSE(File().Write("", Make(0, 1, 1, 0, 0, 0, "x")));

    JokenSettingsFile::Conditions longPath;
    std::memset(longPath.szPath, 'p', sizeof longPath.szPath);  // no NUL within 261 bytes
    EXPECT_FALSE(File().Write("K:", longPath));
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\n");

    // A 260-byte path is the longest that is stored, and is read back whole.
    JokenSettingsFile::Conditions full = Make(0, 1, 1, 0, 0, 0, "");
    std::memset(full.szPath, 'q', 260);
    full.szPath[260] = '\0';
    ASSERT_TRUE(File().Write("K:", full));
    JokenSettingsFile::Conditions out;
    ASSERT_TRUE(File().Read("K:", out));
    EXPECT_EQ(std::strlen(out.szPath), 260u);
}

TEST_F(JokenSettingsFileTest, OversizedFileIsNeitherReadNorChanged)
{
    std::string big = "K:0/1/1/0/0/0/k\n" + std::string(JokenSettingsFile::kMaxFileSize, 'x') + "\n";
    SetContents(big);
    JokenSettingsFile::Conditions out;
    EXPECT_FALSE(File().Read("K:", out));
    EXPECT_FALSE(File().Write("K:", Make(0, 2, 2, 0, 0, 0, "k")));
    EXPECT_EQ(Contents().size(), big.size());
}

TEST_F(JokenSettingsFileTest, FailedWriteLeavesOldFileWhole)
{
    SetContents("A:0/1/1/0/0/0/a\nK:0/1/1/0/0/0/k\n");
    // The disk takes no more (a file-size limit at the file's size; the
    // limit's signal keeps its default action, so the test ends if a write
    // lets it through): neither a new file nor a line in place can be
    // written, and the old file with every line stays, with nothing beside it.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = Contents().size();
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const BOOL written = File().Write("K:", Make(0, 2, 2, 0, 0, 0, "new"));
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\nK:0/1/1/0/0/0/k\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(HostFile().parent_path()),
                            std::filesystem::directory_iterator()),
              1);

    // Entries of the names an earlier version wrote its new content to stay
    // as they are: a file there may be anybody's.
    std::filesystem::create_directories(HostFile().string() + ".new/inner");
    ASSERT_TRUE(File().Write("K:", Make(0, 2, 2, 0, 0, 0, "new")));
    EXPECT_EQ(Contents(), "A:0/1/1/0/0/0/a\nK:0/2/2/0/0/0/new\n");
    EXPECT_TRUE(std::filesystem::is_directory(HostFile().string() + ".new/inner"));

    // The settings name taken by a folder: nothing is read or written.
    std::filesystem::remove(HostFile());
    std::filesystem::create_directories(HostFile());
    JokenSettingsFile::Conditions out;
    EXPECT_FALSE(File().Read("K:", out));
    EXPECT_FALSE(File().Write("K:", Make(0, 2, 2, 0, 0, 0, "new")));
    EXPECT_TRUE(std::filesystem::is_directory(HostFile()));
}

TEST_F(JokenSettingsFileTest, MissingFolderIsCreatedOrRolledBack)
{
    JokenSettingsFile made("C:\\s\\new\\", "Zelkora.env");
    EXPECT_TRUE(made.Write("K:", Make(0, 1, 1, 0, 0, 0, "k")));
    EXPECT_TRUE(std::filesystem::is_regular_file(root_ / "c" / "s" / "new" / "Zelkora.env"));

    // The second new level cannot be made on the host (its name is too long
    // there): the first new level is removed again and nothing is written.
    std::string name;
    for (int i = 0; i < 100; ++i)
        name += "ソ";
    JokenSettingsFile blocked(("C:\\s\\lvl\\" + name + "\\").c_str(), "Zelkora.env");
    EXPECT_FALSE(blocked.Write("K:", Make(0, 1, 1, 0, 0, 0, "k")));
    EXPECT_FALSE(std::filesystem::exists(root_ / "c" / "s" / "lvl"));
    EXPECT_TRUE(std::filesystem::is_directory(root_ / "c" / "s"));

    JokenSettingsFile noVolume("D:\\cfg\\", "Zelkora.env");
    EXPECT_FALSE(noVolume.Write("K:", Make(0, 1, 1, 0, 0, 0, "k")));
    JokenSettingsFile empty("", "Zelkora.env");
    EXPECT_FALSE(empty.Write("K:", Make(0, 1, 1, 0, 0, 0, "k")));
    JokenSettingsFile::Conditions out;
    EXPECT_FALSE(empty.Read("K:", out));
}

}  // namespace
