// An instance of the effect with its editor, driven through its record as a host drives it, with the
// window on the offscreen platform and the controls looked up by their tags.
#pragma once

#include "ADEditor.h"
#include "AEffGUIEditor.h"
#include "CAnimKnob.h"
#include "CBitmap.h"
#include "CFrame.h"
#include "CKickButton.h"
#include "COnOffButton.h"
#include "CTextLabel.h"
#include "CorvelEdit.h"
#include "EditorLayout.h"
#include "HostTestSupport.h"
#include "OffscreenPlatform.h"

#include <gtest/gtest.h>

#include <string>

class EditorFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        hosttest::RecordingHost::reset();
        hosttest::RecordingHost::answer = 1;
        effect = new CorvelEdit(hosttest::RecordingHost::callback);
        record = effect->getAeffect();
    }
    void TearDown() override {
        if (record != nullptr) {
            dispatch(effClose);
        }
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    // The host asks for a display scale, as hosts do.
    VstIntPtr requestScale(float factor) {
        return dispatch(effVendorSpecific, vstFourCC('P', 'r', 'e', 'S'), vstFourCC('A', 'e', 'C', 's'),
                        nullptr, factor);
    }
    void set(VstInt32 index, float value) { record->setParameter(record, index, value); }
    float get(VstInt32 index) { return record->getParameter(record, index); }

    OffscreenFrame* open() {
        EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parentWindow), 1);
        window = OffscreenPlatform::instance().lastFrame();
        return window;
    }
    void close() { dispatch(effEditClose); }
    CFrame* frame() { return static_cast<AEffGUIEditor*>(effect->getEditor())->getFrame(); }

    // The open window's control of a tag and class, or null.
    template <typename Control> Control* control(int32_t tag) {
        for (int i = 0; i < frame()->getNbViews(); ++i) {
            auto* found = dynamic_cast<Control*>(frame()->getView(i));
            if (found != nullptr && found->getTag() == tag) {
                return found;
            }
        }
        return nullptr;
    }
    // The read-out carries the class's default tag.
    CTextLabel* label() { return control<CTextLabel>(-1); }
    CKickButton* logo() { return control<CKickButton>(kLogo); }
    COnOffButton* lamp() { return control<COnOffButton>(kOnOff); }
    CKnob* mainKnob() { return control<CKnob>(kKnob); }
    CAnimKnob* resoKnob() { return control<CAnimKnob>(kReso); }
    CAnimKnob* driveKnob() { return control<CAnimKnob>(kDrive); }
    std::string readOut() { return label()->getText(); }

    static CRect rectOf(const LayoutRect& rect) {
        return CRect(rect.left, rect.top, rect.right, rect.bottom);
    }
    static CPoint centreOf(const LayoutRect& rect) { return CPoint(rect.centreX(), rect.centreY()); }

    // The host requests of one kind since the last reset, as "index:value".
    static std::vector<std::string> hostCalls(VstInt32 opcode) {
        std::vector<std::string> calls;
        for (const hosttest::HostCall& call : hosttest::RecordingHost::calls) {
            if (call.opcode == opcode) {
                calls.push_back(std::to_string(call.index) + ":" + hosttest::describe(call.opt));
            }
        }
        return calls;
    }

    int parentWindow = 0;
    CorvelEdit* effect = nullptr;
    AEffect* record = nullptr;
    OffscreenFrame* window = nullptr;
};
