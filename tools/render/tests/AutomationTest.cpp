#include "Automation.h"
#include "RenderError.h"

#include <gtest/gtest.h>

using render::Envelope;
using render::parseEnvelope;
using render::parseParameterValue;
using render::parseTime;
using render::RenderError;

namespace {

// The message of the RenderError that `action` throws, or "" if it throws none.
template <typename Action> std::string errorOf(Action action) {
    try {
        action();
    } catch (const RenderError& error) {
        return error.what();
    }
    return std::string();
}

} // namespace

TEST(RenderAutomation, InterpolatesLinearlyBetweenBreakpointsAndHitsThemExactly) {
    const Envelope envelope = parseEnvelope("0s:0.5,2s:0,6s:1");
    EXPECT_FLOAT_EQ(envelope.valueAt(0.0), 0.5f);
    EXPECT_FLOAT_EQ(envelope.valueAt(1.0), 0.25f);
    EXPECT_FLOAT_EQ(envelope.valueAt(2.0), 0.0f);
    EXPECT_FLOAT_EQ(envelope.valueAt(3.0), 0.25f);
    EXPECT_FLOAT_EQ(envelope.valueAt(5.0), 0.75f);
    EXPECT_FLOAT_EQ(envelope.valueAt(6.0), 1.0f);
}

TEST(RenderAutomation, HoldsBeforeTheFirstAndAfterTheLastBreakpoint) {
    const Envelope envelope = parseEnvelope("1s:0.2,2s:0.8");
    EXPECT_FLOAT_EQ(envelope.valueAt(0.0), 0.2f);
    EXPECT_FLOAT_EQ(envelope.valueAt(0.999), 0.2f);
    EXPECT_FLOAT_EQ(envelope.valueAt(2.0), 0.8f);
    EXPECT_FLOAT_EQ(envelope.valueAt(1e6), 0.8f);
}

TEST(RenderAutomation, EqualTimesMakeAJumpAndASingleBreakpointIsConstant) {
    const Envelope jump = parseEnvelope("0:0,1:0,1:1,2:1");
    EXPECT_FLOAT_EQ(jump.valueAt(0.999), 0.0f);
    EXPECT_FLOAT_EQ(jump.valueAt(1.0), 1.0f);
    EXPECT_FLOAT_EQ(jump.valueAt(1.5), 1.0f);
    const Envelope constant = parseEnvelope("3s:0.7");
    EXPECT_FLOAT_EQ(constant.valueAt(0.0), 0.7f);
    EXPECT_FLOAT_EQ(constant.valueAt(10.0), 0.7f);
}

TEST(RenderAutomation, TimesAcceptSecondsMillisecondsAndPlainNumbers) {
    EXPECT_DOUBLE_EQ(parseTime("2"), 2.0);
    EXPECT_DOUBLE_EQ(parseTime("2s"), 2.0);
    EXPECT_DOUBLE_EQ(parseTime("1.5s"), 1.5);
    EXPECT_DOUBLE_EQ(parseTime("250ms"), 0.25);
    EXPECT_DOUBLE_EQ(parseTime("0"), 0.0);
    EXPECT_FLOAT_EQ(parseEnvelope("0ms:0,500ms:1").valueAt(0.25), 0.5f);
}

TEST(RenderAutomation, BadTextIsRefusedWithTheOffendingPartNamed) {
    for (const char* time : {"", "s", "ms", "2h", "1s2", "-1s", "nan", "inf", "1e999", " 1"})
        EXPECT_NE(errorOf([&] { parseTime(time); }).find(std::string("'") + time + "'"), std::string::npos)
            << time;
    for (const char* value : {"", "loud", "1.01", "-0.1", "0.5x"})
        EXPECT_NE(errorOf([&] { parseParameterValue(value); }).find(std::string("'") + value + "'"),
                  std::string::npos)
            << value;
    EXPECT_NE(errorOf([] { parseEnvelope("0s:0.5,1s"); }).find("'1s'"), std::string::npos);
    EXPECT_NE(errorOf([] { parseEnvelope("0s:0.5,,1s:1"); }).find("''"), std::string::npos);
    EXPECT_NE(errorOf([] { parseEnvelope("1s:0,0.5s:1"); }).find("'0.5s:1'"), std::string::npos);
    EXPECT_NE(errorOf([] { parseEnvelope("0s:0.5,1s:2"); }).find("'2'"), std::string::npos);
    EXPECT_NE(errorOf([] { Envelope({{1.0, 0.0}, {0.5, 1.0}}); }).find("out of order"), std::string::npos);
    EXPECT_NE(errorOf([] { render::splitAssignment("knob", "--set"); }).find("'knob'"), std::string::npos);
    EXPECT_NE(errorOf([] { render::splitAssignment("=1", "--set"); }).find("NAME=VALUE"), std::string::npos);
}
