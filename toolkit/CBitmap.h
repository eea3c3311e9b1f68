// A picture from the library's resources. Creating one reads only the PNG header; the pixels are shared
// by every bitmap of the process and decoded when first drawn. A picture that cannot be found or read
// measures 0 x 0 and draws nothing.
//
// Its size is in window units: that of its set at scale 1. The library may hold the picture drawn larger
// too (resources/EditorPictures.h, VELMORA_PICTURE_SCALES); at a context's scale the bitmap draws from the
// smallest set at least that large, pixel for pixel where the factors agree, averaged down by area
// between them, so it is never a smaller set stretched up. Above the largest set, the largest is
// enlarged by the same area filter. A set is read, and decoded, only when first drawn.
#pragma once

#include "CBaseObject.h"
#include "CGeometry.h"
#include "CResourceDescription.h"

class CDrawContext;
class SharedPicture;

class CBitmap : public CBaseObject {
  public:
    // [any thread]
    explicit CBitmap(const CResourceDescription& description);

    CCoord getWidth() const;
    CCoord getHeight() const;
    bool isLoaded() const { return picture != nullptr; }
    const CResourceDescription& getResourceDescription() const { return resourceDescription; }

    // [GUI thread] Draws the part of the picture that begins at `offset` into `rect`, as far as the
    // context's clipping allows, over what is there (alpha 1 = the picture's own transparency only).
    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0),
              float alpha = 1.f);

  private:
    // The set to draw from at `scale`, with its factor; null when none has pixels.
    const SharedPicture* pictureFor(double scale, int& factor) const;

    CResourceDescription resourceDescription;
    const SharedPicture* picture;
};
