// The four editions' icons: each a well-formed 32x32 image, each different,
// and the linked edition's one registered as the application's icon.
#include "../support/Xpm.h"
#include "res/Edition.h"
#include "win32/ResourceTable.h"
#include "res/ResourceIds.h"

#include "res/icons/Zelkora.xpm"
#include "res/icons/Zelkorb.xpm"
#include "res/icons/Zelkorc.xpm"
#include "res/icons/Zelkord.xpm"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <set>

namespace {

struct Icon {
    const char* name;
    const char* const* lines;
    size_t count;
};

const Icon kIcons[] = {
    {"Zelkora", Zelkora_xpm, std::size(Zelkora_xpm)},
    {"Zelkorb", Zelkorb_xpm, std::size(Zelkorb_xpm)},
    {"Zelkorc", Zelkorc_xpm, std::size(Zelkorc_xpm)},
    {"Zelkord", Zelkord_xpm, std::size(Zelkord_xpm)},
};

TEST(EditionIcon, EveryEditionHasAWellFormed32By32Image)
{
    for (const Icon& icon : kIcons) {
        SCOPED_TRACE(icon.name);
        XpmImage image;
        std::string why;
        ASSERT_TRUE(DecodeXpm(icon.lines, icon.count, image, why)) << why;
        EXPECT_EQ(image.width, 32);
        EXPECT_EQ(image.height, 32);
        // A visible tile: most of it opaque, and more than one colour on it.
        size_t opaque = 0;
        std::set<uint32_t> colours;
        for (uint32_t p : image.pixels) {
            if (p >> 24) ++opaque;
            colours.insert(p);
        }
        EXPECT_GT(opaque, image.pixels.size() * 3 / 4);
        EXPECT_GE(colours.size(), 3u);
    }
}

TEST(EditionIcon, TheFourImagesDifferFromEachOther)
{
    XpmImage images[std::size(kIcons)];
    for (size_t i = 0; i < std::size(kIcons); ++i) {
        std::string why;
        ASSERT_TRUE(DecodeXpm(kIcons[i].lines, kIcons[i].count, images[i], why)) << kIcons[i].name << ": " << why;
    }
    for (size_t i = 0; i < std::size(kIcons); ++i)
        for (size_t j = i + 1; j < std::size(kIcons); ++j) {
            // Different pictures, not merely different text for one picture,
            // nor a few stray pixels.
            size_t differing = 0;
            for (size_t k = 0; k < images[i].pixels.size(); ++k)
                differing += images[i].pixels[k] != images[j].pixels[k];
            EXPECT_GT(differing, images[i].pixels.size() / 4) << kIcons[i].name << " and " << kIcons[j].name;
        }
}

TEST(EditionIcon, TheLinkedEditionsIconIsTheApplicationIcon)
{
    // The platform shows icon 128 on its windows; the tests link the standard
    // edition.
    const char* const* registered = ResourceTable::FindIcon(128);
    ASSERT_NE(registered, nullptr);
    EXPECT_EQ(registered, ResourceTable::FindIcon(IDR_MAINFRAME));
    EXPECT_EQ(registered, g_Edition.ppszIcon);
    for (size_t i = 0; i < std::size(Zelkora_xpm); ++i) EXPECT_STREQ(registered[i], Zelkora_xpm[i]) << "line " << i;
}

TEST(EditionIcon, TheReaderRefusesMalformedImages)
{
    // The checks above are only as good as the reader: it must say no.
    struct Case {
        const char* what;
        std::vector<const char*> lines;
    } cases[] = {
        {"three header numbers", {"2 1 1", ". c #000000", ".."}},
        {"extra header word", {"2 1 1 1 x", ". c #000000", ".."}},
        {"missing row", {"2 2 1 1", ". c #000000", ".."}},
        {"short row", {"2 1 1 1", ". c #000000", "."}},
        {"undefined key", {"2 1 1 1", ". c #000000", ".x"}},
        {"bad colour", {"2 1 1 1", ". c #00000G", ".."}},
        {"named colour", {"2 1 1 1", ". c black", ".."}},
        {"duplicate key", {"2 1 2 1", ". c #000000", ". c None", ".."}},
    };
    for (const Case& c : cases) {
        XpmImage image;
        std::string why;
        EXPECT_FALSE(DecodeXpm(c.lines.data(), c.lines.size(), image, why)) << c.what;
    }
    const char* const good[] = {"2 1 2 1", ". c #102030", "  c None", ". "};
    XpmImage image;
    std::string why;
    ASSERT_TRUE(DecodeXpm(good, image, why)) << why;
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFF102030u, 0u}));
}

}  // namespace
