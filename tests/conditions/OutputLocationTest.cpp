#include "conditions/OutputLocation.h"
#include "conditions/PathParts.h"

#include "TestDrives.h"

namespace {

using OutputDrive = TestDrives;

TEST_F(OutputDrive, EveryDriveType)
{
    EXPECT_EQ(IsUsableDrive('C', 6), 1);   // fixed
    EXPECT_EQ(IsUsableDrive('E', 6), 1);   // removable with a medium
    EXPECT_EQ(IsUsableDrive('K', 6), 0);   // removable without one
    EXPECT_EQ(IsUsableDrive('F', 6), 1);   // remote
    EXPECT_EQ(IsUsableDrive('G', 6), 0);   // fixed, root not accessible
    EXPECT_EQ(IsUsableDrive('Q', 6), 0);   // CD-ROM, even with a disc
    EXPECT_EQ(IsUsableDrive('R', 6), 0);   // RAM disk
    EXPECT_EQ(IsUsableDrive('U', 6), 0);   // unknown type
    EXPECT_EQ(IsUsableDrive('D', 6), 1);   // no volume: accepted here
    EXPECT_EQ(IsUsableDrive('Z', 6), 1);
}

TEST_F(OutputDrive, LetterCaseAndNonLetters)
{
    for (char c = 'a'; c <= 'z'; ++c)
        EXPECT_EQ(IsUsableDrive(c, 6), IsUsableDrive(c - 'a' + 'A', 6)) << c;
    EXPECT_EQ(IsUsableDrive('q', 6), 0);
    EXPECT_EQ(IsUsableDrive('k', 6), 0);
    EXPECT_EQ(IsUsableDrive('1', 6), 0);
    EXPECT_EQ(IsUsableDrive('@', 6), 0);
    EXPECT_EQ(IsUsableDrive('[', 6), 0);
    EXPECT_EQ(IsUsableDrive('{', 6), 0);
    EXPECT_EQ(IsUsableDrive(0, 6), 0);
    EXPECT_EQ(IsUsableDrive(static_cast<signed char>('\x83'), 6), 0);
    // The mode reaches the access test: existence is enough for mode 0.
    EXPECT_EQ(IsUsableDrive('C', 0), 1);
    EXPECT_EQ(IsUsableDrive('G', 0), 0);
}

TEST_F(OutputDrive, DrivePaths)
{
    EXPECT_EQ(IsValidOutputLocation("C:\\data\\out.xml"), 1);
    EXPECT_EQ(IsValidOutputLocation("c:\\data\\out.xml"), 1);
    EXPECT_EQ(IsValidOutputLocation("Q:\\out.xml"), 0);
    EXPECT_EQ(IsValidOutputLocation("D:\\out.xml"), 1);
    // The first byte counts whether a colon follows or not.
    EXPECT_EQ(IsValidOutputLocation("Cout.xml"), 1);
    EXPECT_EQ(IsValidOutputLocation("Qout.xml"), 0);
    EXPECT_EQ(IsValidOutputLocation("1:\\out.xml"), 0);
    EXPECT_EQ(IsValidOutputLocation("\x83\x5C\\out.xml"), 0);
    EXPECT_EQ(IsValidOutputLocation(""), 0);
    EXPECT_EQ(IsValidOutputLocation(nullptr), 0);
    // A doubled backslash behind the drive is refused; a trail byte 0x5C
    // before a backslash is not one.
    EXPECT_EQ(IsValidOutputLocation("C:\\data\\\\out.xml"), 0);
    EXPECT_EQ(IsValidOutputLocation("C:\\\x83\x5C\\out.xml"), 1);
}

TEST_F(OutputDrive, SharePaths)
{
    EXPECT_EQ(IsValidOutputLocation("\\\\srv\\share\\out.xml"), 1);
    EXPECT_EQ(IsValidOutputLocation("\\\\SRV\\Share\\sub\\out.xml"), 1);
    EXPECT_EQ(IsValidOutputLocation("\\\\srv\\share"), 0);  // nothing after the share name
    EXPECT_EQ(IsValidOutputLocation("\\\\srv\\gone\\out.xml"), 0);
    EXPECT_EQ(IsValidOutputLocation("\\\\srv\\other\\out.xml"), 0);
    EXPECT_EQ(IsValidOutputLocation("\\\\srv"), 0);
    EXPECT_EQ(IsValidOutputLocation("\\\\"), 0);
    // Read and write are both needed at the share root.
    std::filesystem::permissions(root_ / "share", std::filesystem::perms::none);
    if (geteuid() != 0) {  // the superuser passes every permission test
        EXPECT_EQ(IsValidOutputLocation("\\\\srv\\share\\out.xml"), 0);
    }
    std::filesystem::permissions(root_ / "share", std::filesystem::perms::owner_all);
    std::filesystem::remove_all(root_ / "share");
    EXPECT_EQ(IsValidOutputLocation("\\\\srv\\share\\out.xml"), 0);
}

TEST_F(OutputDrive, ExistingFolder)
{
    std::filesystem::create_directories(OnC(u8"data/ソ"));
    MakeFile(OnC(u8"data/file.xml"));
    EXPECT_NE(IsExistingFolder("C:\\data\\"), 0);
    EXPECT_NE(IsExistingFolder("C:\\data\\out.xml"), 0);  // the name is dropped
    // Without a trailing backslash the last component is dropped: this tests
    // C:\ and the missing folder does not matter.
    EXPECT_NE(IsExistingFolder("C:\\nothing"), 0);
    EXPECT_NE(IsExistingFolder("C:\\data\\\x83\x5C\\"), 0);
    EXPECT_EQ(IsExistingFolder("C:\\data\\file.xml\\"), 0);
    EXPECT_EQ(IsExistingFolder("C:\\nothing\\"), 0);
    EXPECT_EQ(IsExistingFolder("D:\\"), 0);
    EXPECT_NE(IsExistingFolder("\\\\srv\\share\\"), 0);
    EXPECT_EQ(IsExistingFolder(""), 0);
    EXPECT_EQ(IsExistingFolder(nullptr), 0);
}

}  // namespace
