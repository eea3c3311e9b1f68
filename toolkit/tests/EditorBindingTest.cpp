// The editor binding between a VST 2.4 effect and a frame: the rectangle before any open, gestures
// reaching the host through the effect, idle, and which thread may touch the window.
#include "AEffGUIEditor.h"
#include "CFrame.h"
#include "CKnob.h"
#include "HostTestSupport.h"
#include "OffscreenPlatform.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using hosttest::PlainEffect;
using hosttest::RecordingHost;

class KnobEditor : public AEffGUIEditor {
  public:
    explicit KnobEditor(AudioEffect* effect) : AEffGUIEditor(effect) { rect = ERect{0, 0, 149, 171}; }
    bool open(void* ptr) override {
        AEffGUIEditor::open(ptr);
        auto* window = new CFrame(CRect(0, 0, 171, 149), ptr, this);
        knob = new CKnob(CRect(0, 0, 90, 90), nullptr, 2, nullptr, nullptr);
        window->addView(knob);
        frame = window;
        return true;
    }
    CKnob* knob = nullptr;
};

TEST(EditorBinding, TheEffectOwnsTheEditorThatReportsItsRectangleAndGesturesToTheHost) {
    auto* effect = new PlainEffect(RecordingHost::callback);
    auto* editor = new KnobEditor(effect);
    EXPECT_EQ(effect->getEditor(), editor);
    EXPECT_TRUE(effect->getAeffect()->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, 171);
    EXPECT_EQ(rect->bottom, 149);
    EXPECT_FALSE(editor->getRect(nullptr));

    int parent = 0;
    editor->open(&parent);
    auto* window = static_cast<OffscreenFrame*>(editor->getFrame()->getPlatformFrame());
    EXPECT_EQ(window->getParent(), &parent);
    RecordingHost::reset();
    window->wheel(CPoint(40, 40), 1.0f);
    ASSERT_EQ(RecordingHost::calls.size(), 2u);
    EXPECT_EQ(RecordingHost::calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(RecordingHost::calls[0].index, 2);
    EXPECT_EQ(RecordingHost::calls[1].opcode, audioMasterEndEdit);
    EXPECT_EQ(RecordingHost::calls[1].index, 2);
    window->paint();
    editor->knob->setValue(0.9f);
    editor->idle();
    EXPECT_EQ(window->getInvalidRect(), CRect(0, 0, 90, 90)) << "idle repaints the dirty knob";
    editor->close();
    EXPECT_EQ(editor->getFrame(), nullptr);
    EXPECT_FALSE(editor->isOpen());
    delete effect;
}

TEST(EditorBinding, OnlyTheThreadThatOpenedTheWindowMayTouchIt) {
    PlainEffect effect;
    auto* editor = new KnobEditor(&effect);
    EXPECT_FALSE(editor->isGuiThread()) << "no window, no GUI thread";
    int parent = 0;
    editor->open(&parent);
    EXPECT_TRUE(editor->isGuiThread());
    editor->getFrame()->setFocusView(editor->knob);
    VstKeyCode up{0, VKEY_UP, 0};
    bool elsewhere = true;
    bool otherThreadIsGui = true;
    std::thread([&] {
        otherThreadIsGui = editor->isGuiThread();
        elsewhere = editor->onKeyDown(up);
    }).join();
    EXPECT_FALSE(otherThreadIsGui);
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(editor->knob->getValue(), 0.0f);
    EXPECT_TRUE(editor->onKeyDown(up));
    EXPECT_NEAR(editor->knob->getValue(), 0.1f, 1e-6);
}

} // namespace
