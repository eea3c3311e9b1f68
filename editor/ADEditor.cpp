#include "ADEditor.h"

#include "AudioEffect.h"
#include "CFrame.h"
#include "CorvelDisplay.h"
#include "CorvelParameters.h"
#include "EditorLayout.h"
#include "Platform.h"

namespace {

// Repaint pace: slow while there is no window to repaint.
constexpr uint32_t kClosedFireTime = 150;
constexpr uint32_t kOpenFireTime = 50;

// The logo button has no picture; one image of it would be this high.
constexpr CCoord kLogoImageHeight = 32;

// Default values (Control-click) and the main knob's fine-drag factor (Shift).
constexpr float kMainKnobDefault = 0.5f;
constexpr float kResoDefault = 0.5f;
constexpr float kDriveDefault = 0.0f;
constexpr float kMainKnobZoom = 400.0f;

// The maker's web page, opened from the logo.
const char* const kMakerWebPage = "https://www.trevanor.com/";

// The lamp shows whether the filter is engaged: everywhere outside the dry centre, and at its bounds.
bool lampLit(float knob) {
    return knob <= kDeadZoneLow || knob >= kDeadZoneHigh;
}

CRect toRect(const LayoutRect& rect) {
    return CRect(rect.left, rect.top, rect.right, rect.bottom);
}

// A control's rectangle: one image of its picture as loaded (empty for a picture that did not load) at
// the control's position.
CRect pictureRect(const CBitmap* bitmap, const EditorPicture& picture, const LayoutPoint& position) {
    return CRect(0, 0, bitmap->getWidth(), bitmap->getHeight() / picture.frames)
        .offset(position.x, position.y);
}

} // namespace

ADEditor::ADEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
    editorOpen = false;
    backgroundBitmap = new CBitmap(CResourceDescription(kBackgroundPicture.id));
    onOffBitmap = new CBitmap(CResourceDescription(kOnOffPicture.id));
    knobBitmap = new CBitmap(CResourceDescription(kKnobPicture.id));
    smallKnobBitmap = new CBitmap(CResourceDescription(kSmallKnobPicture.id));
    logoButton = nullptr;
    setUnscaledSize(backgroundBitmap->getWidth(), backgroundBitmap->getHeight());
    idleTimer = new CVSTGUITimer(this);
    idleTimer->setFireTime(kClosedFireTime);
    idleTimer->start();
}

ADEditor::~ADEditor() {
    // A host may close the instance with the window still open.
    if (editorOpen) {
        close();
    }
    waitForWindowThreads();
    for (CBitmap** bitmap : {&backgroundBitmap, &onOffBitmap, &knobBitmap, &smallKnobBitmap}) {
        (*bitmap)->forget();
        *bitmap = nullptr;
    }
    // Its last reference: the timer stops.
    idleTimer->forget();
    idleTimer = nullptr;
}

bool ADEditor::open(void* ptr) {
    // A host that opens twice gets one window, not a second one over a leaked first.
    if (editorOpen) {
        close();
    }
    AEffGUIEditor::open(ptr);
    const CCoord width = backgroundBitmap->getWidth();
    auto* newFrame =
        new CFrame(CRect(0, 0, width, backgroundBitmap->getHeight()), ptr, this, getContentScaleFactor());
    newFrame->setBackground(backgroundBitmap);

    frequencyLabel = new CTextLabel(toRect(kReadOutRect), nullptr, nullptr);
    frequencyLabel->setFont(kNormalFontSmaller);
    frequencyLabel->setHoriAlign(kCenterText);
    char text[kVstMaxParamStrLen];
    effect->getParameterDisplay(kKnob, text);
    frequencyLabel->setText(text);
    newFrame->addView(frequencyLabel);

    logoButton = new CKickButton(CRect(width - kLogoWidth, 0, width, kLogoHeight), this, kLogo,
                                 kLogoImageHeight, nullptr, CPoint(0, 0));
    newFrame->addView(logoButton);

    onOffLamp =
        new COnOffButton(pictureRect(onOffBitmap, kOnOffPicture, kLampPosition), this, kOnOff, onOffBitmap);
    onOffLamp->setMouseEnabled(false);
    onOffLamp->setValue(lampLit(effect->getParameter(kKnob)) ? 1.0f : 0.0f);
    newFrame->addView(onOffLamp);

    mainKnob = new CKnob(pictureRect(knobBitmap, kKnobPicture, kMainKnobPosition), this, kKnob, knobBitmap,
                         nullptr, CPoint(0, 0));
    mainKnob->setValue(effect->getParameter(kKnob));
    mainKnob->setDefaultValue(kMainKnobDefault);
    mainKnob->setZoomFactor(kMainKnobZoom);
    newFrame->addView(mainKnob);

    const CCoord imageHeight = smallKnobBitmap->getHeight() / kSmallKnobPicture.frames;
    resoKnob = new CAnimKnob(pictureRect(smallKnobBitmap, kSmallKnobPicture, kResoKnobPosition), this, kReso,
                             kSmallKnobPicture.frames, imageHeight, smallKnobBitmap, CPoint(0, 0));
    resoKnob->setValue(effect->getParameter(kReso));
    resoKnob->setDefaultValue(kResoDefault);
    newFrame->addView(resoKnob);

    driveKnob = new CAnimKnob(pictureRect(smallKnobBitmap, kSmallKnobPicture, kDriveKnobPosition), this,
                              kDrive, kSmallKnobPicture.frames, imageHeight, smallKnobBitmap, CPoint(0, 0));
    driveKnob->setValue(effect->getParameter(kDrive));
    driveKnob->setDefaultValue(kDriveDefault);
    newFrame->addView(driveKnob);

    frame = newFrame;
    // Before the timer starts: on X11 it hands the window to a thread of its own.
    adoptSystemScale(newFrame);
    editorOpen = true;
    idleTimer->setFireTime(kOpenFireTime);
    return true;
}

void ADEditor::close() {
    idleTimer->setFireTime(kClosedFireTime);
    if (!editorOpen) {
        return;
    }
    editorOpen = false;
    if (CFrame* closing = frame.exchange(nullptr)) {
        closing->close();
    }
}

void ADEditor::idle() {}

void ADEditor::setParameter(VstInt32 index, float value) {
    if (!isGuiThread()) {
        if (index >= 0 && index < kNumParams) {
            pendingParameters.fetch_or(1u << index, std::memory_order_release);
        }
        return;
    }
    applyParameter(index, value);
}

void ADEditor::applyParameter(VstInt32 index, float value) {
    if (!editorOpen) {
        return;
    }
    switch (index) {
    case kDrive:
        driveKnob->setValue(value);
        break;
    case kReso:
        resoKnob->setValue(value);
        break;
    case kKnob: {
        mainKnob->setValue(value);
        char text[kVstMaxParamStrLen];
        formatKnobReadout(value, text);
        frequencyLabel->setText(text);
        const float lampBefore = onOffLamp->getValue();
        onOffLamp->setValue(lampLit(value) ? 1.0f : 0.0f);
        if (onOffLamp->getValue() != lampBefore) {
            mainKnob->invalid();
            onOffLamp->invalid();
        }
        frequencyLabel->invalid();
        break;
    }
    default:
        break;
    }
}

void ADEditor::applyPendingParameters() {
    const uint32_t pending = pendingParameters.exchange(0, std::memory_order_acquire);
    for (VstInt32 index = 0; index < kNumParams; ++index) {
        if ((pending & (1u << index)) != 0) {
            applyParameter(index, effect->getParameter(index));
        }
    }
}

void ADEditor::valueChanged(CControl* control) {
    if (!editorOpen || control == nullptr) {
        return;
    }
    const int32_t tag = control->getTag();
    switch (tag) {
    case kKnob:
        effect->setParameterAutomated(kKnob, control->getValue());
        setParameter(kKnob, control->getValue());
        break;
    case kDrive:
    case kReso:
        effect->setParameterAutomated(tag, control->getValue());
        break;
    case kLogo:
        // The button reports 1 then 0 when released over it, only 0 elsewhere: one page per click.
        if (control->getValue() >= 0.5f) {
            defaultPlatform().openUrl(kMakerWebPage);
        }
        break;
    default:
        break;
    }
}

CMessageResult ADEditor::notify(CBaseObject* /*sender*/, const char* message) {
    if (message == CVSTGUITimer::kMsgTimer) {
        timerIdle();
        return kMessageNotified;
    }
    return kMessageUnknown;
}

void ADEditor::timerIdle() {
    applyPendingParameters();
    AEffGUIEditor::idle();
}
