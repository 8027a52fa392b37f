#include "platform/crt/resources.h"

#include <gtest/gtest.h>

namespace {

const unsigned char kBytesA[] = {'B', 'M', 1};
const unsigned char kBytesB[] = {'R', 'I', 'F', 'F'};
const unsigned char kBytesC[] = {0, 0, 2, 0};

TEST(Resources, LookupByKindAndIdWithReplacement) {
    const res::Resource table[] = {
        {res::Kind::Bitmap, 9129, kBytesA, sizeof kBytesA},
        {res::Kind::Wave, 9129, kBytesB, sizeof kBytesB},
    };
    res::RegisterResources(table, 2);
    const res::Resource* bmp = res::FindResource(9129, res::Kind::Bitmap);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->data, kBytesA);
    EXPECT_EQ(bmp->size, 3u);
    ASSERT_NE(res::FindResource(9129, res::Kind::Wave), nullptr);
    EXPECT_EQ(res::FindResource(9129, res::Kind::Wave)->data, kBytesB);
    EXPECT_EQ(res::FindResource(9129, res::Kind::Icon), nullptr);
    EXPECT_EQ(res::FindResource(9130, res::Kind::Bitmap), nullptr);

    const res::Resource later[] = {{res::Kind::Bitmap, 9129, kBytesC, sizeof kBytesC}};
    res::RegisterResources(later, 1);
    EXPECT_EQ(res::FindResource(9129, res::Kind::Bitmap)->data, kBytesC);
    res::RegisterResources(nullptr, 5);  // ignored
}

}  // namespace
