// Keeping the window and the effect in step: parameter changes moving the controls, read-out and lamp,
// what repaints at once and what at the next timer firing, gestures reaching the host, programs, the
// logo, and changes from other threads.
#include "ADEditor.h"
#include "EditorFixture.h"

#include <thread>

namespace {

using Sync = EditorFixture;

TEST_F(Sync, ParameterZeroMovesTheKnobTheRoundedReadOutAndTheLamp) {
    open();
    const struct {
        float knob;
        const char* readOut;
        float lamp;
    } cases[] = {{0.5f, "---", 0},  {0.45f, "---", 1}, {0.55f, "---", 1}, {0.0f, "80", 1},
                 {1.0f, "5000", 1}, {0.1f, "234", 1},  {0.47f, "---", 0}, {NAN, "---", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.knob);
        set(kKnob, c.knob);
        EXPECT_EQ(readOut(), c.readOut);
        EXPECT_EQ(lamp()->getValue(), c.lamp);
        EXPECT_EQ(mainKnob()->getValue() == c.knob, c.knob == c.knob);
    }
}

TEST_F(Sync, CrossingTheDryCentreRepaintsKnobAndLampAtOnceOtherChangesAtTheNextFiring) {
    OffscreenPlatform& platform = OffscreenPlatform::instance();
    open()->paint();
    set(kKnob, 0.2f);
    EXPECT_EQ(window->getInvalidRect(),
              rectOf(kReadOutRect).unite(rectOf(kMainKnobRect)).unite(rectOf(kLampRect)))
        << "read-out, knob and lamp";
    EXPECT_EQ(window->getInvalidCount(), 3);
    window->paint();

    set(kKnob, 0.3f);
    EXPECT_EQ(window->getInvalidRect(), rectOf(kReadOutRect)) << "only the read-out";
    window->paint();
    platform.advance(50);
    EXPECT_EQ(window->getInvalidRect(), rectOf(kMainKnobRect)) << "the knob at the next firing";
    window->paint();

    set(kDrive, 0.7f);
    set(kReso, 0.2f);
    EXPECT_EQ(window->getInvalidCount(), 0);
    platform.advance(49);
    EXPECT_EQ(window->getInvalidCount(), 0);
    platform.advance(1);
    EXPECT_EQ(window->getInvalidRect(), rectOf(kDriveKnobRect).unite(rectOf(kResoKnobRect)))
        << "both small knobs";
    window->paint();

    set(3, 0.9f);
    set(-1, 0.9f);
    platform.advance(50);
    EXPECT_EQ(window->getInvalidCount(), 0) << "no other index reaches the window";
    EXPECT_EQ(driveKnob()->getValue(), 0.7f);
    EXPECT_EQ(resoKnob()->getValue(), 0.2f);
}

// Counts the editor's own setParameter calls.
class CountingEditor : public ADEditor {
  public:
    using ADEditor::ADEditor;
    void setParameter(VstInt32 index, float value) override {
        ++calls;
        ADEditor::setParameter(index, value);
    }
    int calls = 0;
};

TEST_F(Sync, ADragOnTheMainKnobSetsTheEffectOnceTheEditorTwiceAndTellsTheHostInsideOneBracket) {
    AEffEditor* original = effect->getEditor();
    effect->setEditor(nullptr);
    delete original;
    auto* editor = new CountingEditor(effect);
    open();
    hosttest::RecordingHost::reset();
    // Up 20 px, up 20 more, right 20: 0.1 each.
    const CPoint start = centreOf(kMainKnobRect);
    window->mouseDown(start, kLButton);
    for (const CPoint& step : {CPoint(0, -20), CPoint(0, -40), CPoint(20, -40)}) {
        window->mouseMoved(CPoint(start).offset(step.x, step.y), kLButton);
    }
    window->mouseUp(CPoint(start).offset(20, -40), 0);

    EXPECT_EQ(hostCalls(audioMasterBeginEdit), std::vector<std::string>{"0:0"});
    EXPECT_EQ(hostCalls(audioMasterAutomate), (std::vector<std::string>{"0:0.6", "0:0.7", "0:0.8"}));
    EXPECT_EQ(hostCalls(audioMasterEndEdit), std::vector<std::string>{"0:0"});
    EXPECT_EQ(hosttest::RecordingHost::calls.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(hosttest::RecordingHost::calls.back().opcode, audioMasterEndEdit);
    EXPECT_EQ(editor->calls, 6) << "twice per change";
    EXPECT_FLOAT_EQ(get(kKnob), 0.8f);
    EXPECT_EQ(readOut(), "796") << "rounded, where the display text says 795";
}

TEST_F(Sync, ControlClickGivesEachKnobItsDefault) {
    set(kKnob, 0.9f);
    set(kDrive, 0.9f);
    set(kReso, 0.9f);
    open();
    hosttest::RecordingHost::reset();
    for (const CPoint& where : {centreOf(kMainKnobRect), centreOf(kResoKnobRect), centreOf(kDriveKnobRect)}) {
        window->mouseDown(where, kLButton | kControl);
        window->mouseUp(where, kControl);
    }
    EXPECT_EQ(hostCalls(audioMasterAutomate), (std::vector<std::string>{"0:0.5", "2:0.5", "1:0"}));
    EXPECT_EQ((std::vector<float>{get(kKnob), get(kDrive), get(kReso)}),
              (std::vector<float>{0.5f, 0.0f, 0.5f}));
    EXPECT_EQ(lamp()->getValue(), 0.0f);
    EXPECT_EQ(readOut(), "---");
}

TEST_F(Sync, AProgramChangeMovesEveryControl) {
    set(kKnob, 0.1f);
    set(kDrive, 0.3f);
    set(kReso, 0.6f);
    open();
    mainKnob()->setValue(0.5f);
    driveKnob()->setValue(0.0f);
    resoKnob()->setValue(0.0f);
    lamp()->setValue(0.0f);
    dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(mainKnob()->getValue(), 0.1f);
    EXPECT_EQ(driveKnob()->getValue(), 0.3f);
    EXPECT_EQ(resoKnob()->getValue(), 0.6f);
    EXPECT_EQ(lamp()->getValue(), 1.0f);
    EXPECT_EQ(readOut(), "234");
}

TEST_F(Sync, ChangesFromOtherThreadsWaitForTheNextFiringAndEndAtTheLatestValue) {
    // Shown whole, nothing left to repaint.
    open();
    OffscreenPlatform::instance().advance(50);
    window->paint();
    std::thread host([this] {
        for (float v : {0.0f, 0.9f, 0.2f}) {
            set(kKnob, v);
        }
        set(kDrive, 0.9f);
        dispatch(effSetProgram, 0, 0);
    });
    host.join();
    EXPECT_EQ(mainKnob()->getValue(), 0.5f) << "nothing moved off the GUI thread";
    EXPECT_EQ(driveKnob()->getValue(), 0.0f);
    EXPECT_EQ(window->getInvalidCount(), 0);
    OffscreenPlatform::instance().advance(50);
    EXPECT_EQ(mainKnob()->getValue(), get(kKnob));
    EXPECT_EQ(readOut(), "684");
    EXPECT_EQ(lamp()->getValue(), 1.0f);
    EXPECT_EQ(driveKnob()->getValue(), 0.9f);
    // The firing that applies the changes asks for their repaint too, not the one after.
    for (const LayoutRect& moved : {kMainKnobRect, kLampRect, kReadOutRect, kDriveKnobRect}) {
        CRect covered = window->getInvalidRect();
        EXPECT_EQ(covered.unite(rectOf(moved)), window->getInvalidRect());
    }
    window->paint();
    OffscreenPlatform::instance().advance(50);
    EXPECT_EQ(window->getInvalidCount(), 0) << "a firing after the changes were applied repaints nothing";
}

TEST_F(Sync, TheLogoOpensTheMakersPageOncePerClickWhenReleasedOverIt) {
    OffscreenPlatform& platform = OffscreenPlatform::instance();
    platform.takeOpenedUrls();
    open();
    const CPoint logoCentre = centreOf(kLogoRect);
    window->mouseDown(logoCentre, kLButton);
    EXPECT_TRUE(platform.takeOpenedUrls().empty()) << "not on the press";
    window->mouseUp(CPoint(logoCentre).offset(0, 2), 0);
    EXPECT_EQ(platform.takeOpenedUrls(), std::vector<std::string>{"https://www.trevanor.com/"});
    window->mouseDown(logoCentre, kLButton);
    window->mouseUp(centreOf(kMainKnobRect), 0);
    EXPECT_TRUE(platform.takeOpenedUrls().empty()) << "released elsewhere";
    EXPECT_TRUE(hostCalls(audioMasterAutomate).empty()) << "the logo is no parameter";
}

} // namespace
