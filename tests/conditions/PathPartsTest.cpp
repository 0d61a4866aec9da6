#include "conditions/PathParts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Code page 932: "ソ" is 0x83 0x5C and "表" 0x95 0x5C (second byte a
// backslash), "ポ" is 0x83 0x7C (second byte '|').
const char kSo[] = "\x83\x5C";
const char kHyo[] = "\x95\x5C";
const char kPo[] = "\x83\x7C";

TEST(PathDoubleByte, IsDoubleByteAtWalksFromTheStart)
{
    const std::string s = std::string("a") + kSo + "\\" + kPo;  // a 83 5C 5C 83 7C
    EXPECT_EQ(IsDoubleByteAt(s.c_str(), 0), 0);
    EXPECT_EQ(IsDoubleByteAt(s.c_str(), 1), 1);
    EXPECT_EQ(IsDoubleByteAt(s.c_str(), 2), 1);
    EXPECT_EQ(IsDoubleByteAt(s.c_str(), 3), 0);  // the real backslash
    EXPECT_EQ(IsDoubleByteAt(s.c_str(), 4), 1);
    EXPECT_EQ(IsDoubleByteAt(s.c_str(), 5), 1);
    EXPECT_EQ(IsDoubleByteAt(s.c_str(), 6), 0);
    EXPECT_EQ(IsDoubleByteAt(s.c_str(), -1), 0);
    EXPECT_EQ(IsDoubleByteAt(nullptr, 0), 0);
    // A lead byte followed by no trail byte is a single byte.
    EXPECT_EQ(IsDoubleByteAt("\x83" "\x1F", 0), 0);
    EXPECT_EQ(IsDoubleByteAt("x\x83", 1), 0);
    // Pairing is decided from the start: 83 83 5C is a pair then a backslash.
    EXPECT_EQ(IsDoubleByteAt("\x83\x83\x5C", 2), 0);
}

TEST(PathTrailingBackslash, DoubleByteEndingsAndRoom)
{
    char buf[kPathBufferSize];
    std::snprintf(buf, sizeof buf, "C:\\%s", kSo);
    EXPECT_EQ(AddTrailingBackslash(buf, kPathBufferSize), 1);
    EXPECT_EQ(std::string(buf), std::string("C:\\") + kSo + "\\");

    std::snprintf(buf, sizeof buf, "C:\\%s", kHyo);
    EXPECT_EQ(AddTrailingBackslash(buf, kPathBufferSize), 1);
    EXPECT_EQ(std::string(buf), std::string("C:\\") + kHyo + "\\");

    std::strcpy(buf, "C:\\data\\");
    EXPECT_EQ(AddTrailingBackslash(buf, kPathBufferSize), 1);
    EXPECT_STREQ(buf, "C:\\data\\");
    std::strcpy(buf, "C:\\data");
    EXPECT_EQ(AddTrailingBackslash(buf, kPathBufferSize), 1);
    EXPECT_STREQ(buf, "C:\\data\\");

    std::strcpy(buf, "");
    EXPECT_EQ(AddTrailingBackslash(buf, kPathBufferSize), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(AddTrailingBackslash(nullptr, kPathBufferSize), 0);

    const std::string p259 = "C:\\" + std::string(256, 'a');
    std::strcpy(buf, p259.c_str());
    EXPECT_EQ(AddTrailingBackslash(buf, kPathBufferSize), 1);
    EXPECT_EQ(std::strlen(buf), 260u);
    EXPECT_EQ(buf[259], '\\');

    const std::string p260 = "C:\\" + std::string(257, 'a');
    std::strcpy(buf, p260.c_str());
    EXPECT_EQ(AddTrailingBackslash(buf, kPathBufferSize), 0);
    EXPECT_EQ(std::string(buf), p260);
    // A 260-byte path ending with a real backslash needs no room.
    const std::string p260b = "C:\\" + std::string(256, 'a') + "\\";
    std::strcpy(buf, p260b.c_str());
    EXPECT_EQ(AddTrailingBackslash(buf, kPathBufferSize), 1);
    EXPECT_EQ(std::string(buf), p260b);
}

std::string DriveDir(const std::string& in, int* result)
{
    char buf[kPathBufferSize];
    std::strcpy(buf, in.c_str());
    *result = GetDriveDir(buf);
    return buf;
}

TEST(PathDriveDir, DriveShareAndRelativePaths)
{
    int r = -1;
    EXPECT_EQ(DriveDir("C:\\data\\out.xml", &r), "C:\\data\\");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(DriveDir("C:out.xml", &r), "C:\\");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(DriveDir("C:", &r), "C:");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(DriveDir("out.xml", &r), "out.xml");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(DriveDir("\\\\srv\\share\\x.xml", &r), "\\\\srv\\share\\");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(DriveDir("C:\\data\\", &r), "C:\\data\\");
    EXPECT_EQ(r, 1);
    EXPECT_EQ(DriveDir("", &r), "");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(GetDriveDir(nullptr), 0);

    // A folder name whose second bytes are 0x5C is not cut inside.
    const std::string jp = std::string("C:\\") + kSo + kHyo + "\\" + kPo + ".xml";
    EXPECT_EQ(DriveDir(jp, &r), std::string("C:\\") + kSo + kHyo + "\\");
    EXPECT_EQ(r, 1);
    const std::string jpEnd = std::string("C:\\a\\") + kSo;
    EXPECT_EQ(DriveDir(jpEnd, &r), "C:\\a\\");

    // A folder part the splitter would cut is refused, not shortened.
    const std::string longDir = "C:\\" + std::string(250, 'a') + "\\bbb\\x";  // folder part 256 bytes
    EXPECT_EQ(DriveDir(longDir, &r), longDir);
    EXPECT_EQ(r, 0);
    const std::string fitDir = "C:\\" + std::string(250, 'a') + "\\bb\\x";  // 255 bytes
    EXPECT_EQ(DriveDir(fitDir, &r), fitDir.substr(0, fitDir.size() - 1));
    EXPECT_EQ(r, 1);
}

TEST(PathRoot, RootsAndLimits)
{
    char out[kPathBufferSize];
    EXPECT_NE(GetRootPath("C:\\data\\out.xml", out, kPathBufferSize), 0);
    EXPECT_STREQ(out, "C:\\");
    EXPECT_NE(GetRootPath("\\\\srv\\share\\x\\y.xml", out, kPathBufferSize), 0);
    EXPECT_STREQ(out, "\\\\srv\\share");
    EXPECT_EQ(GetRootPath("out.xml", out, kPathBufferSize), 0);
    EXPECT_EQ(GetRootPath("", out, kPathBufferSize), 0);
    EXPECT_EQ(GetRootPath(nullptr, out, kPathBufferSize), 0);
    EXPECT_EQ(GetRootPath("C:\\x", nullptr, kPathBufferSize), 0);
    EXPECT_EQ(GetRootPath("C:\\x", out, 0), 0);
    // The path must be shorter than the buffer.
    EXPECT_EQ(GetRootPath("C:\\x", out, 4), 0);
    EXPECT_NE(GetRootPath("C:\\x", out, 5), 0);
    EXPECT_STREQ(out, "C:\\");
}

TEST(PathParts, CutAtTheLastSeparatorStepOverDoubleBytes)
{
    EXPECT_STREQ(GetFolderPart("C:\\data\\*.xml"), "C:\\data\\");
    EXPECT_STREQ(GetFileNamePart("C:\\data\\*.xml"), "*.xml");
    EXPECT_STREQ(GetFolderPart("D:out.xml"), "");
    EXPECT_STREQ(GetFileNamePart("D:out.xml"), "D:out.xml");
    EXPECT_STREQ(GetDrivePart("D:out.xml"), "D:");
    EXPECT_STREQ(GetAfterDrivePart("D:out.xml"), "out.xml");
    EXPECT_STREQ(GetDrivePart("out.xml"), "");
    EXPECT_STREQ(GetAfterDrivePart("out.xml"), "out.xml");
    EXPECT_STREQ(GetFileNamePart("C:\\data\\"), "");

    // The trail byte of the last character is no separator.
    const CString jp = CString("C:\\") + kHyo + "\\" + kSo + ".xml";
    EXPECT_STREQ(GetFolderPart(jp), CString("C:\\") + kHyo + "\\");
    EXPECT_STREQ(GetFileNamePart(jp), CString(kSo) + ".xml");
    const CString noSep = CString(kSo) + kHyo + ".xml";
    EXPECT_STREQ(GetFolderPart(noSep), "");
    EXPECT_STREQ(GetFileNamePart(noSep), noSep);
}

TEST(PathChars, RefusedAndAllowed)
{
    EXPECT_EQ(HasValidPathChars("C:\\data\\out.xml"), 1);
    EXPECT_EQ(HasValidPathChars("C:\\da,ta\\out.xml"), 0);
    EXPECT_EQ(HasValidPathChars("C:\\da;ta\\out.xml"), 0);
    EXPECT_EQ(HasValidPathChars("C:\\data\\a:b.xml"), 0);
    EXPECT_EQ(HasValidPathChars("C:\\data\\\\out.xml"), 0);
    EXPECT_EQ(HasValidPathChars("C:*out.xml"), 0);
    EXPECT_EQ(HasValidPathChars("C:/data/out.xml"), 0);
    EXPECT_EQ(HasValidPathChars("/data"), 0);
    for (const char* bad : {"C:\\a?.xml", "C:\\a\".xml", "C:\\a<.xml", "C:\\a>.xml", "C:\\a|.xml"})
        EXPECT_EQ(HasValidPathChars(bad), 0) << bad;
    EXPECT_EQ(HasValidPathChars("out.xml"), 1);

    // Trail bytes 0x5C and 0x7C are neither a doubled backslash nor a '|'.
    const std::string jp = std::string("C:\\") + kSo + "\\" + kHyo + kPo + "\\" + kSo + ".xml";
    EXPECT_EQ(HasValidPathChars(jp.c_str()), 1);
    // A real '|' after a double-byte character is still refused.
    EXPECT_EQ(HasValidPathChars((std::string("C:\\") + kPo + "|.xml").c_str()), 0);

    EXPECT_EQ(HasValidPathChars("\\\\srv\\share\\out.xml"), 1);
    EXPECT_EQ(HasValidPathChars("\\\\srv\\\\share\\out.xml"), 0);
    EXPECT_EQ(HasValidPathChars("\\\\srv\\share\\a:b.xml"), 0);
    // The colon rule of drive paths does not apply to share paths.
    EXPECT_EQ(HasValidPathChars("\\\\srv:\\share\\out.xml"), 0);
}

}  // namespace
