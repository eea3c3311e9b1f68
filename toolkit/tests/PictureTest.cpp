// Pictures: sizes from the resources, one decoded copy per process, and pictures that are missing or
// broken, which measure 0 x 0 and draw nothing.
#include "CBitmap.h"
#include "CFrame.h"
#include "EditorPictures.h"
#include "PictureStore.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ToolkitPictures, EveryPictureIsFoundByItsIdWithTheSizeItsLayoutNeeds) {
    for (const PictureScale& scale : kPictureScales) {
        for (const EditorPicture& picture : kEditorPictures) {
            const int32_t id = picture.id + scale.idOffset;
            SCOPED_TRACE(id);
            CBitmap bitmap((CResourceDescription(id)));
            EXPECT_TRUE(bitmap.isLoaded());
            EXPECT_EQ(bitmap.getWidth(), picture.width * scale.factor);
            EXPECT_EQ(bitmap.getHeight(), picture.stripHeight() * scale.factor);
        }
    }
}

TEST(ToolkitPictures, BitmapsOfOnePictureShareOneDecodedCopy) {
    const SharedPicture* first = sharedPicture(kSmallKnobPicture.id);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(sharedPicture(kSmallKnobPicture.id), first);
    const uint32_t* pixels = first->pixels();
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(first->pixels(), pixels);
}

TEST(ToolkitPictures, AMissingOrBrokenPictureMeasuresNothingAndDrawsNothing) {
    CBitmap missing((CResourceDescription(999)));
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(missing.getWidth(), 0);
    EXPECT_EQ(missing.getHeight(), 0);

    CFrame* frame = new CFrame(CRect(0, 0, 20, 20), nullptr, nullptr);
    frame->setBackground(&missing);
    const std::vector<uint32_t> black = frame->renderAll().data();
    EXPECT_EQ(black, std::vector<uint32_t>(400, pixel::pack(0, 0, 0, 255)));
    frame->setBackground(nullptr);
    frame->forget();

    const unsigned char junk[] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    int width = -1;
    int height = -1;
    EXPECT_FALSE(readPictureSize({junk, sizeof(junk)}, width, height));
    EXPECT_EQ(width, 0);
    EXPECT_FALSE(readPictureSize({nullptr, 0}, width, height));
    EXPECT_TRUE(decodePicture({junk, sizeof(junk)}, 1, 1).empty());

    // A good header over corrupt pixel data: the size is known, the pixels never come.
    const ResourceBytes good = findPictureResource(kKnobPicture.id);
    ASSERT_NE(good.data, nullptr);
    std::vector<unsigned char> cut(good.data, good.data + good.size / 2);
    ASSERT_TRUE(readPictureSize({cut.data(), cut.size()}, width, height));
    EXPECT_EQ(width, kKnobPicture.width);
    EXPECT_TRUE(decodePicture({cut.data(), cut.size()}, width, height).empty());
    EXPECT_TRUE(decodePicture(good, kKnobPicture.width + 1, kKnobPicture.height).empty())
        << "a picture of another size than its header said";
}

} // namespace
