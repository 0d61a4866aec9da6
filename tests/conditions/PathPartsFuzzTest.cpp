// Property tests of the pure path operations over seeded random code page
// 932 paths (drive, share, rooted and relative shapes; double-byte characters
// whose second byte is '\' or '|'; lone lead bytes; over-long folder parts).
//
// The oracle marks every byte as a single-byte character, or the first or
// second byte of a double-byte character, by one walk from the first byte
// (a lead byte followed by a trail byte is a pair); "a real c" is a
// single-byte character c. Properties:
// - IsDoubleByteAt(s, i) is 1 iff byte i is part of a pair (0 outside s);
// - AddTrailingBackslash(buffer of exactly n bytes) gives 1 iff the path ends
//   with a real backslash or has room for one (length < n - 1), appends one
//   exactly when it did not end with one, and otherwise leaves the bytes;
// - GetDriveDir, on a buffer of exactly the path's size, replaces the path by
//   drive ("X:" for a letter and a colon) + folder (up to the last real '\'
//   or '/'), adding a backslash only when that part is shorter than the path
//   and does not end with a real backslash; 0 and the path unchanged when
//   the part is empty or its folder is over 255 bytes;
// - GetRootPath gives the path's root ("X:\", "\\server\share", "\") when the
//   path is shorter than the buffer, never writing beyond it;
// - the four part operations cut at the last real '\' or ':';
// - HasValidPathChars is 1 iff the path has no doubled real backslash (for a
//   share path: none starting at index 3 or later) and the part after the
//   leading pair, or after the first real colon, has none of / : , ; * ? " > < |.
// The sanitizer build checks every buffer bound.
#include "conditions/PathParts.h"

#include "tests/support/FuzzText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

enum Role { kSingle, kFirst, kSecond };

std::vector<Role> Roles(const std::string& s)
{
    std::vector<Role> r(s.size(), kSingle);
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (lead && i + 1 < s.size()) {
            const unsigned char t = static_cast<unsigned char>(s[i + 1]);
            if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) {
                r[i] = kFirst;
                r[i + 1] = kSecond;
                i += 2;
                continue;
            }
        }
        ++i;
    }
    return r;
}

bool RealAt(const std::string& s, const std::vector<Role>& r, size_t i, char c)
{
    return i < s.size() && r[i] == kSingle && s[i] == c;
}

size_t LastReal(const std::string& s, const std::string& chars, size_t from = 0)
{
    const std::vector<Role> r = Roles(s);
    size_t found = std::string::npos;
    for (size_t i = from; i < s.size(); ++i)
        if (r[i] == kSingle && chars.find(s[i]) != std::string::npos) found = i;
    return found;
}

std::string RandomPath(fuzz::Gen& g)
{
    std::string p;
    switch (g.Int(0, 5)) {
    case 0: p = std::string(1, static_cast<char>(g.Int('A', 'Z'))) + ":\\"; break;
    case 1: p = std::string(1, static_cast<char>(g.Int('a', 'z'))) + ":"; break;
    case 2: p = "\\\\"; break;
    case 3: p = "\\"; break;
    default: break;
    }
    const long long parts = g.Int(0, 6);
    for (long long i = 0; i < parts; ++i) {
        p += g.Chance(8) ? std::string(static_cast<size_t>(g.Int(60, 140)), 'd') : g.Text(12, "abc.-_ ");
        if (i + 1 < parts || g.Chance(40)) p += g.Chance(85) ? "\\" : g.Pick<std::string>({"/", "\\\\", ":", "|"});
    }
    if (g.Chance(20)) p += g.Text(8, "/:,;*?\"><|\\");
    return p;
}

// A heap copy of exactly `size` bytes, so that the sanitizers see any access
// beyond it.
std::unique_ptr<char[]> Exact(const std::string& s, size_t size)
{
    std::unique_ptr<char[]> b(new char[size]);
    std::memset(b.get(), 0, size);
    std::memcpy(b.get(), s.c_str(), std::min(size, s.size() + 1));
    return b;
}

TEST(PathPartsProperty, DoubleByteRolesAndTrailingBackslash)
{
    const uint32_t seed = fuzz::Seed(0x5EED0201u);
    fuzz::Gen g(seed);
    for (int n = 0; n < fuzz::Cases(4000); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        std::string path = RandomPath(g);
        if (g.Chance(20)) path += g.DoubleByte();  // often one whose second byte is '\'
        if (g.Chance(10)) path += static_cast<char>(0x83);  // a lone lead byte last
        const std::vector<Role> roles = Roles(path);

        for (int i = -2; i <= static_cast<int>(path.size()) + 1; ++i) {
            const int expected = (i >= 0 && i < static_cast<int>(path.size()) && roles[i] != kSingle) ? 1 : 0;
            ASSERT_EQ(IsDoubleByteAt(path.c_str(), i), expected) << path << " at " << i;
        }

        const int size = static_cast<int>(path.size()) + 1 + static_cast<int>(g.Int(0, 2));
        auto buffer = Exact(path, size);
        const int result = AddTrailingBackslash(buffer.get(), size);
        const bool endsWithOne = !path.empty() && RealAt(path, roles, path.size() - 1, '\\');
        if (path.empty()) {
            ASSERT_EQ(result, 0);
            ASSERT_STREQ(buffer.get(), "");
        } else if (endsWithOne) {
            ASSERT_EQ(result, 1);
            ASSERT_EQ(std::string(buffer.get()), path);
        } else if (static_cast<int>(path.size()) < size - 1) {
            ASSERT_EQ(result, 1);
            ASSERT_EQ(std::string(buffer.get()), path + "\\");
        } else {
            ASSERT_EQ(result, 0);
            ASSERT_EQ(std::string(buffer.get()), path);
        }
    }
}

TEST(PathPartsProperty, DriveDirRootAndParts)
{
    const uint32_t seed = fuzz::Seed(0x5EED0202u);
    fuzz::Gen g(seed);
    int replaced = 0, tooLong = 0;
    for (int n = 0; n < fuzz::Cases(4000); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        const std::string path = RandomPath(g);
        SCOPED_TRACE(path);
        const std::vector<Role> roles = Roles(path);

        // --- GetDriveDir
        {
            const bool drive = path.size() >= 2 && path[1] == ':' &&
                               ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
            const size_t start = drive ? 2 : 0;
            const size_t sep = LastReal(path, "\\/", start);
            const std::string dir = sep == std::string::npos ? "" : path.substr(start, sep + 1 - start);
            std::string part = (drive ? path.substr(0, 2) : "") + dir;
            auto buffer = Exact(path, path.size() + 1);
            const int result = GetDriveDir(buffer.get());
            if (path.empty() || part.empty() || dir.size() > 255) {
                ASSERT_EQ(result, 0);
                ASSERT_EQ(std::string(buffer.get()), path);
                tooLong += dir.size() > 255;
            } else {
                if (part.size() < path.size() && !RealAt(part, Roles(part), part.size() - 1, '\\')) part += '\\';
                ASSERT_EQ(result, 1);
                ASSERT_EQ(std::string(buffer.get()), part);
                ++replaced;
            }
        }

        // --- GetRootPath
        {
            std::string root;
            bool hasRoot = false;
            const auto sep = [&](size_t i) { return RealAt(path, roles, i, '\\') || RealAt(path, roles, i, '/'); };
            if (path.size() >= 2 && path[1] == ':' &&
                ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
                hasRoot = path.size() >= 3 && sep(2);
                root = path.substr(0, hasRoot ? 3 : 2);
            } else if (path.size() >= 2 && sep(0) && sep(1)) {
                size_t end = 2, seps = 0;
                while (end < path.size() && !(sep(end) && ++seps == 2)) ++end;
                hasRoot = true;
                root = path.substr(0, end);
            } else if (!path.empty() && sep(0)) {
                hasRoot = true;
                root = path.substr(0, 1);
            }
            const int size = static_cast<int>(g.Int(1, path.size() + 3));
            auto out = Exact("untouched", size);
            const std::string before(out.get(), size);
            const int result = GetRootPath(path.c_str(), out.get(), size);
            if (path.empty() || static_cast<int>(path.size()) >= size) {
                ASSERT_EQ(result, 0);
                ASSERT_EQ(std::string(out.get(), size), before);
            } else {
                ASSERT_EQ(result != 0, hasRoot);
                if (hasRoot) {
                    ASSERT_EQ(std::string(out.get()), root);
                }
            }
        }

        // --- the four part operations
        {
            const CString s(path.c_str());
            const size_t bs = LastReal(path, "\\");
            const size_t colon = LastReal(path, ":");
            ASSERT_EQ(std::string(GetFolderPart(s)), bs == std::string::npos ? "" : path.substr(0, bs + 1));
            ASSERT_EQ(std::string(GetFileNamePart(s)), bs == std::string::npos ? path : path.substr(bs + 1));
            ASSERT_EQ(std::string(GetDrivePart(s)), colon == std::string::npos ? "" : path.substr(0, colon + 1));
            ASSERT_EQ(std::string(GetAfterDrivePart(s)), colon == std::string::npos ? path : path.substr(colon + 1));
        }
    }
    EXPECT_GT(replaced, 1000);
    EXPECT_GT(tooLong, 10);
}

TEST(PathPartsProperty, RefusedCharacters)
{
    const uint32_t seed = fuzz::Seed(0x5EED0203u);
    fuzz::Gen g(seed);
    int valid = 0;
    for (int n = 0; n < fuzz::Cases(6000); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        std::string path = RandomPath(g);
        if (g.Chance(10)) path = "\\\\" + std::string(static_cast<size_t>(g.Int(0, 3)), '\\') + path;
        SCOPED_TRACE(path);
        const std::vector<Role> roles = Roles(path);

        const bool share = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
        bool refused = false;
        for (size_t i = share ? 3 : 0; i + 1 < path.size(); ++i)
            refused = refused || (RealAt(path, roles, i, '\\') && path[i + 1] == '\\');
        size_t restFrom = 0;
        if (share) {
            restFrom = 2;
        } else {
            for (size_t i = 0; i < path.size(); ++i)
                if (RealAt(path, roles, i, ':')) {
                    restFrom = i + 1;
                    break;
                }
        }
        for (size_t i = restFrom; i < path.size(); ++i)
            for (char c : std::string("/:,;*?\"><|"))
                refused = refused || RealAt(path, roles, i, c);

        ASSERT_EQ(HasValidPathChars(path.c_str()), refused ? 0 : 1);
        valid += !refused;
    }
    EXPECT_GT(valid, 500);
    EXPECT_EQ(HasValidPathChars(nullptr), 1);
}

}  // namespace
