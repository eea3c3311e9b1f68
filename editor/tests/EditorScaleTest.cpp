// The editor at a display scale: the host's factor before the system's, the system's before 1; what the
// host hears of the window's size; changes while the window is open; and the pictures of a scale, which
// only a window at that scale decodes.
#include "EditorFixture.h"
#include "PictureStore.h"

#include <cmath>
#include <limits>

namespace {

class Scale : public EditorFixture {
  protected:
    void TearDown() override {
        EditorFixture::TearDown();
        OffscreenPlatform::instance().setSystemScaleFactor(0);
    }
    // The editor's rectangle as the host reads it, and the window's size, as "width x height".
    std::string rect() {
        ERect* r = nullptr;
        dispatch(effEditGetRect, 0, 0, &r);
        return r == nullptr || r->top != 0 || r->left != 0
                   ? "bad"
                   : std::to_string(r->right) + " x " + std::to_string(r->bottom);
    }
    std::string windowSize() const {
        return std::to_string(window->getWidth()) + " x " + std::to_string(window->getHeight());
    }
    // The sizes the host was told with sizeWindow since the last call.
    static std::vector<std::string> sizesTold() {
        std::vector<std::string> told;
        for (const hosttest::HostCall& call : hosttest::RecordingHost::calls) {
            if (call.opcode == audioMasterSizeWindow) {
                told.push_back(std::to_string(call.index) + " x " + std::to_string(call.value));
            }
        }
        hosttest::RecordingHost::calls.clear();
        return told;
    }
    static void systemScale(double factor) {
        OffscreenPlatform::instance().setSystemScaleFactor(factor);
        // The next timer firing, where Windows polls the host's window.
        OffscreenPlatform::instance().advance(50);
    }
};

using Told = std::vector<std::string>;

TEST_F(Scale, TheHostsFactorComesBeforeTheSystemsWhichComesBeforeOne) {
    EXPECT_EQ(dispatch(effCanDo, 0, 0, const_cast<char*>("supportsViewDpiScaling")), 1);
    OffscreenPlatform::instance().setSystemScaleFactor(2.0);
    EXPECT_EQ(rect(), "171 x 149") << "the system's scale is learnt as the window opens";
    open();
    EXPECT_EQ(windowSize(), "342 x 298");
    EXPECT_EQ(rect(), "342 x 298");
    EXPECT_EQ(sizesTold(), Told{"342 x 298"});

    systemScale(1.5);
    EXPECT_EQ(windowSize(), "257 x 224") << "moved to a monitor of another scale";
    EXPECT_EQ(sizesTold(), Told{"257 x 224"});

    EXPECT_EQ(requestScale(2.0f), 1);
    EXPECT_EQ(windowSize(), "342 x 298");
    EXPECT_EQ(sizesTold(), Told{"342 x 298"});
    EXPECT_EQ(frame()->renderAll().getWidth(), 342);

    systemScale(1.0);
    EXPECT_EQ(requestScale(0.5f), 0);
    EXPECT_EQ(windowSize(), "342 x 298") << "once the host chose, the system's scale no longer counts";
    EXPECT_EQ(sizesTold(), Told{});

    hosttest::RecordingHost::answer = 0;
    EXPECT_EQ(requestScale(1.25f), 1);
    EXPECT_EQ(windowSize(), "214 x 186");
    EXPECT_EQ(sizesTold(), Told{}) << "a host that does not offer sizeWindow is not told";
    close();
    open();
    EXPECT_EQ(windowSize(), "214 x 186");
    EXPECT_EQ(sizesTold(), Told{}) << "the size the host knows";
}

TEST_F(Scale, BadFactorsFromHostOrSystemChangeNothing) {
    const float bad[] = {0.0f,
                         -2.0f,
                         0.99f,
                         4.01f,
                         std::nanf(""),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    open();
    for (const float factor : bad) {
        SCOPED_TRACE(factor);
        EXPECT_EQ(requestScale(factor), 0);
        systemScale(factor);
        EXPECT_EQ(rect(), "171 x 149");
        EXPECT_EQ(windowSize(), "171 x 149");
    }
    EXPECT_EQ(sizesTold(), Told{});
}

TEST_F(Scale, CreatingAnInstanceDecodesNoPictureAndAWindowOnlyThoseOfItsScale) {
    const auto decoded = [] {
        std::vector<bool> flags;
        for (const PictureScale& scale : kPictureScales) {
            for (const EditorPicture& picture : kEditorPictures) {
                flags.push_back(sharedPicture(picture.id + scale.idOffset)->isDecoded());
            }
        }
        return flags;
    };
    // (ctest runs each case in a process of its own: nothing is decoded yet.)
    const std::vector<bool> before = decoded();
    requestScale(1.5f);
    rect();
    EXPECT_EQ(decoded(), before) << "an instance, its size and its scale: headers only";

    open();
    frame()->renderAll();
    const std::vector<bool> after = decoded();
    for (std::size_t i = 0; i < after.size(); ++i) {
        const bool twice = i >= std::size(kEditorPictures);
        EXPECT_EQ(after[i], twice ? true : static_cast<bool>(before[i])) << "picture " << i;
    }
}

} // namespace
