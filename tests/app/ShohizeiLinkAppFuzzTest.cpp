// Property test of the caller's command line over seeded random lines.
//
// For every line L (any bytes but NUL, any length):
// - ParseCallerArgs returns 1 iff L holds at least three commas. A comma is
//   never the second byte of a double-byte character, so the commas are
//   counted byte by byte;
// - the handle, message and function id are the decimal values of the texts
//   before the first, second and third comma as the platform's C library
//   reads them with its 32-bit long (strtol, saturated at the 32-bit limits),
//   taken to 32 bits unsigned for the handle and message and to 16 bits for
//   the function id; a field whose comma is missing keeps its initial value;
// - the preset path is every byte behind the third comma (commas, double-byte
//   characters and all), and stays empty when nothing follows it;
// - parsing never records the caller.
// The sanitizer build checks that no line is read beyond its end.
#include "app/ShohizeiLinkApp.h"

#include "tests/support/FuzzText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The C library's reading of a decimal field with a 32-bit long.
long long CLibraryValue(const std::string& text)
{
    errno = 0;
    long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    return v;
}

std::string RandomLine(fuzz::Gen& g)
{
    // Shapes: a proper caller's line, a line with too few or too many commas,
    // a line of arbitrary bytes, and very long lines (beyond any work area).
    std::string line;
    const long long shape = g.Int(0, 9);
    if (shape < 6) {
        const long long fields = g.Int(0, 5);
        for (long long i = 0; i < fields; ++i) {
            line += g.Number();
            if (i + 1 < fields || g.Chance(70)) line += ',';
        }
        if (g.Chance(80)) line += g.Text(shape == 5 ? 3000 : 120, "C:\\,.xml/ ");
    } else if (shape < 9) {
        line = g.Text(shape == 8 ? 1200 : 80, ",0123456789-+ ");
    } else {
        line = std::string(static_cast<size_t>(g.Int(250, 600)), ' ') + g.Number() + "," + g.Number() + "," +
               g.Number() + "," + g.Text(400, "\\,");
    }
    return line;
}

TEST(ParseCallerArgsProperty, EveryLineGivesTheDocumentedFields)
{
    const uint32_t seed = fuzz::Seed(0x5EED0001u);
    fuzz::Gen g(seed);
    const int cases = fuzz::Cases(20000);
    int accepted = 0;
    for (int n = 0; n < cases; ++n) {
        const std::string line = RandomLine(g);
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n) + " line length " +
                     std::to_string(line.size()));

        std::vector<size_t> commas;
        for (size_t i = 0; i < line.size(); ++i)
            if (line[i] == ',') commas.push_back(i);

        CShohizeiLinkApp app;
        const int result = app.ParseCallerArgs(line.c_str());
        ASSERT_EQ(result, (!line.empty() && commas.size() >= 3) ? 1 : 0) << line;
        accepted += result;

        const uint32_t handle =
            commas.size() >= 1 ? static_cast<uint32_t>(CLibraryValue(line.substr(0, commas[0]))) : 0u;
        ASSERT_EQ(HwndToValue(app.m_hCallerWnd), handle) << line;

        const UINT message = commas.size() >= 2
                                 ? static_cast<UINT>(CLibraryValue(line.substr(commas[0] + 1, commas[1] - commas[0] - 1)))
                                 : 0u;
        ASSERT_EQ(app.m_nNotifyMsg, message) << line;

        const short function = commas.size() >= 3 ? static_cast<short>(CLibraryValue(
                                                         line.substr(commas[1] + 1, commas[2] - commas[1] - 1)))
                                                   : static_cast<short>(1);
        ASSERT_EQ(app.m_nFunctionId, function) << line;

        const std::string path = commas.size() >= 3 ? line.substr(commas[2] + 1) : std::string();
        ASSERT_EQ(app.m_strPresetOutputPath.GetLength(), static_cast<int>(path.size()));
        ASSERT_EQ(std::string(app.m_strPresetOutputPath), path);
        ASSERT_EQ(app.m_bLaunchedByCaller, 0);
    }
    // The generator must reach both answers often, or the property says little.
    EXPECT_GT(accepted, cases / 5);
    EXPECT_LT(accepted, cases * 4 / 5);
}

// The same object parsing a second line: fields of the first line that the
// second does not reach stay as the first left them.
TEST(ParseCallerArgsProperty, ASecondLineOverwritesOnlyTheFieldsItReaches)
{
    const uint32_t seed = fuzz::Seed(0x5EED0002u);
    fuzz::Gen g(seed);
    for (int n = 0; n < fuzz::Cases(3000); ++n) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(n));
        CShohizeiLinkApp app;
        ASSERT_EQ(app.ParseCallerArgs("11,22,33,C:\\first.xml"), 1);
        const std::string line = RandomLine(g);
        CShohizeiLinkApp fresh;
        fresh.ParseCallerArgs(line.c_str());
        size_t commas = 0;
        for (char ch : line) commas += ch == ',';

        app.ParseCallerArgs(line.c_str());
        ASSERT_EQ(HwndToValue(app.m_hCallerWnd), commas >= 1 ? HwndToValue(fresh.m_hCallerWnd) : 11u);
        ASSERT_EQ(app.m_nNotifyMsg, commas >= 2 ? fresh.m_nNotifyMsg : 22u);
        ASSERT_EQ(app.m_nFunctionId, commas >= 3 ? fresh.m_nFunctionId : 33);
        const bool pathGiven = commas >= 3 && !fresh.m_strPresetOutputPath.IsEmpty();
        ASSERT_EQ(std::string(app.m_strPresetOutputPath),
                  pathGiven ? std::string(fresh.m_strPresetOutputPath) : std::string("C:\\first.xml"));
    }
}

}  // namespace
