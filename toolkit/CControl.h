// A view with a value from 0 to 1 that a user can change. Values set by code are stored as given;
// values from gestures are kept within the range. Every gesture is bracketed by beginEdit and endEdit,
// which the frame passes to the editor (nested brackets are reported once).
// [GUI thread]
#pragma once

#include "CView.h"

class CBitmap;
class CControlListener;

class CControl : public CView {
  public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = -1,
             CBitmap* background = nullptr);
    ~CControl() override;

    // Marks the control dirty when the value differs.
    virtual void setValue(float newValue);
    float getValue() const { return value; }
    void setDefaultValue(float newValue) { defaultValue = newValue; }
    float getDefaultValue() const { return defaultValue; }
    int32_t getTag() const { return tag; }

    void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }

    // Tells the listener the value changed.
    virtual void valueChanged();
    // Keeps the value within the range (NaN becomes the minimum).
    void bounceValue();
    // The value as bounceValue would leave it.
    float boundedValue() const;

    void beginEdit();
    void endEdit();
    bool isEditing() const { return editing > 0; }

    // A control that leaves the window in the middle of a gesture ends it.
    void removed() override;

  protected:
    float value = 0;
    float defaultValue = 0.5f;
    float vmin = 0;
    float vmax = 1;
    // The step of a wheel notch or an arrow key.
    float wheelInc = 0.1f;

  private:
    CControlListener* listener;
    int32_t tag;
    CBitmap* background = nullptr;
    int editing = 0;
};
