#include "CControl.h"

#include "CBitmap.h"
#include "CControlListener.h"
#include "CFrame.h"

CControl::CControl(const CRect& controlSize, CControlListener* controlListener, int32_t controlTag,
                   CBitmap* controlBackground)
    : CView(controlSize), listener(controlListener), tag(controlTag) {
    setBackground(controlBackground);
}

CControl::~CControl() {
    setBackground(nullptr);
}

void CControl::setValue(float newValue) {
    if (!(newValue == value)) {
        value = newValue;
        setDirty(true);
    }
}

void CControl::setBackground(CBitmap* bitmap) {
    exchangeReference(background, bitmap);
    setDirty(true);
}

void CControl::valueChanged() {
    if (listener != nullptr) {
        listener->valueChanged(this);
    }
}

void CControl::bounceValue() {
    value = boundedValue();
}

float CControl::boundedValue() const {
    if (!(value >= vmin)) {
        return vmin;
    }
    return value > vmax ? vmax : value;
}

void CControl::beginEdit() {
    if (editing++ > 0) {
        return;
    }
    if (listener != nullptr) {
        listener->controlBeginEdit(this);
    }
    if (frame != nullptr) {
        frame->beginEdit(tag);
    }
}

void CControl::endEdit() {
    if (editing == 0 || --editing > 0) {
        return;
    }
    if (frame != nullptr) {
        frame->endEdit(tag);
    }
    if (listener != nullptr) {
        listener->controlEndEdit(this);
    }
}

void CControl::removed() {
    if (editing > 0) {
        editing = 1;
        endEdit();
    }
    CView::removed();
}
