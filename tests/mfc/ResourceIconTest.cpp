#include "win32/ResourceTable.h"

#include <gtest/gtest.h>

namespace {

const char* const kFirst[] = {"1 1 1 1", ". c #000000", "."};
const char* const kSecond[] = {"1 1 1 1", ". c #FFFFFF", "."};

TEST(ResourceIcons, RegisteredByIdReplacedAndApartFromStrings)
{
    EXPECT_EQ(ResourceTable::FindIcon(62001), nullptr);
    ResourceTable::RegisterIcon(62001, kFirst);
    ResourceTable::RegisterString(62001, "text");
    EXPECT_EQ(ResourceTable::FindIcon(62001), kFirst);
    EXPECT_EQ(ResourceTable::FindIcon(62002), nullptr);
    ResourceTable::RegisterIcon(62001, kSecond);
    EXPECT_EQ(ResourceTable::FindIcon(62001), kSecond);
    EXPECT_STREQ(ResourceTable::FindString(62001), "text");
}

}  // namespace
