#include "CBitmap.h"

#include "CDrawContext.h"
#include "PictureStore.h"

CBitmap::CBitmap(const CResourceDescription& description)
    : resourceDescription(description), picture(sharedPicture(description.id)) {}

CCoord CBitmap::getWidth() const {
    return picture != nullptr ? picture->getWidth() : 0;
}

CCoord CBitmap::getHeight() const {
    return picture != nullptr ? picture->getHeight() : 0;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset, float alpha) {
    if (context == nullptr || picture == nullptr) {
        return;
    }
    if (const uint32_t* pixels = picture->pixels()) {
        context->drawPixels(pixels, picture->getWidth(), picture->getHeight(), rect, offset, alpha);
    }
}
