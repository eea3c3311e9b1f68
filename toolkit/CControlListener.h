// Told of every value a user gives a control.
#pragma once

class CControl;

class CControlListener {
  public:
    virtual ~CControlListener() = default;
    // [GUI thread] After a mouse, wheel or key gesture changed the control's value.
    virtual void valueChanged(CControl* control) = 0;
    virtual void controlBeginEdit(CControl* /*control*/) {}
    virtual void controlEndEdit(CControl* /*control*/) {}
};
