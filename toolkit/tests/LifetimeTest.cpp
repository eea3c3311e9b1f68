// Who owns what: reference counts, containers releasing their views, frames taking their windows with
// them, and timers that run exactly while they should.
#include "CBitmap.h"
#include "CFrame.h"
#include "CKnob.h"
#include "CTextLabel.h"
#include "CVSTGUITimer.h"
#include "OffscreenPlatform.h"

#include <gtest/gtest.h>

namespace {

class CountedView : public CView {
  public:
    explicit CountedView(int& liveCount) : CView(CRect(0, 0, 10, 10)), live(liveCount) { ++live; }
    ~CountedView() override { --live; }

  private:
    int& live;
};

class TimerTarget : public CBaseObject {
  public:
    CMessageResult notify(CBaseObject* sender, const char* message) override {
        if (message != CVSTGUITimer::kMsgTimer) {
            return kMessageUnknown;
        }
        lastSender = sender;
        ++firings;
        return kMessageNotified;
    }
    int firings = 0;
    CBaseObject* lastSender = nullptr;
};

TEST(ToolkitLifetime, ContainersReleaseTheirViewsAndFramesTheirWindows) {
    OffscreenPlatform& platform = OffscreenPlatform::instance();
    const int framesBefore = platform.frameCount();
    int live = 0;
    CFrame* frame = new CFrame(CRect(0, 0, 50, 50), nullptr, nullptr);
    EXPECT_EQ(platform.frameCount(), framesBefore + 1);
    auto* kept = new CountedView(live);
    kept->remember();
    frame->addView(kept);
    frame->addView(new CountedView(live));
    EXPECT_EQ(live, 2);
    frame->removeAll(true);
    EXPECT_EQ(live, 1) << "a view someone else remembers survives";
    EXPECT_EQ(kept->getNbReference(), 1);
    EXPECT_EQ(kept->getFrame(), nullptr);
    kept->forget();
    EXPECT_EQ(live, 0);

    CView* taken[] = {new CountedView(live), new CountedView(live)};
    for (CView* view : taken) {
        frame->addView(view);
    }
    frame->removeAll(false);
    EXPECT_EQ(live, 2) << "without forget the views are only taken out";
    frame->forget();
    EXPECT_EQ(live, 2);
    for (CView* view : taken) {
        view->forget();
    }
    EXPECT_EQ(platform.frameCount(), framesBefore);
}

TEST(ToolkitLifetime, PicturesAndFontsAreHeldByEveryoneWhoShowsThem) {
    auto* bitmap = new CBitmap(CResourceDescription(130));
    CFrame* frame = new CFrame(CRect(0, 0, 171, 149), nullptr, nullptr);
    frame->setBackground(bitmap);
    frame->addView(new CKnob(CRect(0, 0, 90, 90), nullptr, 0, bitmap, nullptr));
    EXPECT_EQ(bitmap->getNbReference(), 3);
    const int32_t fontReferences = kNormalFontSmaller->getNbReference();
    auto* label = new CTextLabel(CRect(0, 0, 30, 12));
    label->setFont(kNormalFontSmaller);
    frame->addView(label);
    EXPECT_EQ(kNormalFontSmaller->getNbReference(), fontReferences + 1);
    frame->forget();
    EXPECT_EQ(bitmap->getNbReference(), 1);
    EXPECT_EQ(kNormalFontSmaller->getNbReference(), fontReferences);
    bitmap->forget();
}

TEST(ToolkitLifetime, TimersFireAtTheirPeriodUntilStoppedOrReleased) {
    OffscreenPlatform& platform = OffscreenPlatform::instance();
    TimerTarget target;
    auto* timer = new CVSTGUITimer(&target, 150);
    platform.advance(500);
    EXPECT_EQ(target.firings, 0) << "not started";
    timer->start();
    platform.advance(449);
    EXPECT_EQ(target.firings, 2);
    platform.advance(1);
    EXPECT_EQ(target.firings, 3);
    EXPECT_EQ(target.lastSender, timer);

    timer->setFireTime(50);
    platform.advance(200);
    EXPECT_EQ(target.firings, 7) << "a new period applies at once";
    timer->stop();
    platform.advance(200);
    EXPECT_EQ(target.firings, 7);
    timer->start();
    timer->forget();
    platform.fireTimers();
    EXPECT_EQ(target.firings, 7) << "releasing the last reference stops it";

    EXPECT_STREQ(CVSTGUITimer::kMsgTimer, "timer fired");
    const char sameText[] = "timer fired";
    EXPECT_EQ(target.notify(nullptr, sameText), kMessageUnknown) << "messages compare by identity";
}

} // namespace
