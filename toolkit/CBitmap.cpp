#include "CBitmap.h"

#include "CDrawContext.h"
#include "EditorPictures.h"
#include "PictureStore.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

CBitmap::CBitmap(const CResourceDescription& description)
    : resourceDescription(description), picture(sharedPicture(description.id)) {}

CCoord CBitmap::getWidth() const {
    return picture != nullptr ? picture->getWidth() : 0;
}

CCoord CBitmap::getHeight() const {
    return picture != nullptr ? picture->getHeight() : 0;
}

const SharedPicture* CBitmap::pictureFor(double scale, int& factor) const {
    // The sets at least as large as the scale, smallest first, then the smaller ones, largest first. A set
    // that is missing, of the wrong size or undecodable is passed over; none is read before its turn.
    std::array<const PictureScale*, std::size(kPictureScales)> order{};
    std::transform(std::begin(kPictureScales), std::end(kPictureScales), order.begin(),
                   [](const PictureScale& set) { return &set; });
    const auto preference = [scale](const PictureScale* set) {
        const bool smaller = set->factor < scale;
        return std::make_pair(smaller, smaller ? -set->factor : set->factor);
    };
    std::sort(order.begin(), order.end(),
              [&](const PictureScale* a, const PictureScale* b) { return preference(a) < preference(b); });
    for (const PictureScale* set : order) {
        const SharedPicture* candidate =
            set->factor == 1 ? picture : sharedPicture(resourceDescription.id + set->idOffset);
        if (candidate != nullptr && candidate->getWidth() == picture->getWidth() * set->factor &&
            candidate->getHeight() == picture->getHeight() * set->factor && candidate->pixels() != nullptr) {
            factor = set->factor;
            return candidate;
        }
    }
    return nullptr;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha) {
    if (context == nullptr || picture == nullptr) {
        return;
    }
    const double scale = context->getScale();
    int factor = 1;
    const SharedPicture* set = pictureFor(scale, factor);
    if (set == nullptr) {
        return;
    }
    const CRect target = context->toPixels(rect);
    const int left = scaledPixel(offset.x, factor);
    const int top = scaledPixel(offset.y, factor);
    if (factor == scale) {
        context->drawPixels(set->pixels(), set->getWidth(), set->getHeight(), target, CPoint(left, top),
                            alpha);
        return;
    }
    // Only the part under `rect` (one image of a strip), onto the rectangle's own pixels.
    const auto width = static_cast<int>(target.getWidth());
    const auto height = static_cast<int>(target.getHeight());
    const uint32_t* part = set->resampled(left, top, scaledPixel(offset.x + rect.getWidth(), factor),
                                          scaledPixel(offset.y + rect.getHeight(), factor), width, height);
    context->drawPixels(part, width, height, target, CPoint(0, 0), alpha);
}
