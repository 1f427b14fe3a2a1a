#include <gtest/gtest.h>

#include "tracks/Outline.h"

using namespace telvorn;

TEST(Outline, ReadsRingsInHundredthsAndEndsARingAtItsFirstBadPoint)
{
    const Outline outline = Outline::Parse("# comment 1,2 3,4\r\n"
                                           "4872,237 4900,250  -3390,15120\r\n"
                                           "\n"
                                           "100,100 200,x 300,300\n" // cut after its first point: dropped
                                           "9000,18000 -9000,-18000 9001,0 0,0\n"
                                           "500,500");
    ASSERT_EQ(outline.ringCount(), 2u);
    EXPECT_EQ(outline.pointCount(), 5u);
    std::size_t size = 0;
    const GeoPoint* first = outline.ring(0, size);
    ASSERT_EQ(size, 3u);
    EXPECT_DOUBLE_EQ(first[0].lat, 48.72);
    EXPECT_DOUBLE_EQ(first[0].lon, 2.37);
    EXPECT_DOUBLE_EQ(first[2].lat, -33.9);
    EXPECT_DOUBLE_EQ(first[2].lon, 151.2);
    const GeoPoint* second = outline.ring(1, size);
    ASSERT_EQ(size, 2u) << "the point off the earth ends the ring";
    EXPECT_DOUBLE_EQ(second[1].lon, -180.0);
}
