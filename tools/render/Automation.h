// Parameter automation: breakpoint envelopes parsed from "T:V,T:V,..." and evaluated at block starts.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace render {

struct Breakpoint {
    double seconds;
    double value;
};

// Piecewise-linear in time; holds the first value before the first breakpoint and the last value
// after the last one. Two breakpoints at the same time make a jump.
class Envelope {
  public:
    Envelope() = default;
    explicit Envelope(std::vector<Breakpoint> points); // throws RenderError if empty or out of order

    float valueAt(double seconds) const;
    const std::vector<Breakpoint>& points() const { return points_; }

  private:
    std::vector<Breakpoint> points_;
};

// strtod over the whole text; false if anything is left over or the number is not finite.
bool parseNumber(const std::string& text, double& result);
// "1.5", "1.5s" and "1500ms" all mean 1.5 seconds. Negative or non-finite times are refused.
double parseTime(const std::string& text);
// A normalised parameter value, 0 to 1.
double parseParameterValue(const std::string& text);
// "0s:0.5,2s:0,6s:1"
Envelope parseEnvelope(const std::string& text);
// "NAME=REST" for --set and --automate; `option` names the flag in the error message.
std::pair<std::string, std::string> splitAssignment(const std::string& text, const std::string& option);

} // namespace render
