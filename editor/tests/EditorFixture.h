// An instance of the effect with its editor, driven through its record as a host drives it, with the
// window on the offscreen platform and the controls looked up in the order the window holds them.
#pragma once

#include "AEffGUIEditor.h"
#include "CAnimKnob.h"
#include "CBitmap.h"
#include "CFrame.h"
#include "CKickButton.h"
#include "COnOffButton.h"
#include "CTextLabel.h"
#include "CorvelEdit.h"
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

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        return record->dispatcher(record, opcode, index, value, ptr, 0.0f);
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

    CTextLabel* label() { return static_cast<CTextLabel*>(frame()->getView(0)); }
    CKickButton* logo() { return static_cast<CKickButton*>(frame()->getView(1)); }
    COnOffButton* lamp() { return static_cast<COnOffButton*>(frame()->getView(2)); }
    CKnob* mainKnob() { return static_cast<CKnob*>(frame()->getView(3)); }
    CAnimKnob* resoKnob() { return static_cast<CAnimKnob*>(frame()->getView(4)); }
    CAnimKnob* driveKnob() { return static_cast<CAnimKnob*>(frame()->getView(5)); }
    std::string readOut() { return label()->getText(); }

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
