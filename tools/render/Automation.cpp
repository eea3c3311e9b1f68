#include "Automation.h"

#include "RenderError.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace render {

bool parseNumber(const std::string& text, double& result) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return false;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    if (end != begin + text.size() || errno == ERANGE || !std::isfinite(value))
        return false;
    result = value;
    return true;
}

namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

Envelope::Envelope(std::vector<Breakpoint> points) : points_(std::move(points)) {
    if (points_.empty())
        throw RenderError("an automation needs at least one breakpoint");
    for (size_t i = 1; i < points_.size(); ++i) {
        if (points_[i].seconds < points_[i - 1].seconds)
            throw RenderError("automation breakpoints out of order: " + std::to_string(points_[i].seconds) +
                              " s comes after " + std::to_string(points_[i - 1].seconds) + " s");
    }
}

float Envelope::valueAt(double seconds) const {
    if (points_.empty())
        return 0.0f;
    if (seconds < points_.front().seconds)
        return static_cast<float>(points_.front().value);
    // Last breakpoint at or before `seconds`; with equal times the later one wins, which makes the jump.
    size_t i = 0;
    while (i + 1 < points_.size() && points_[i + 1].seconds <= seconds)
        ++i;
    if (i + 1 == points_.size())
        return static_cast<float>(points_[i].value);
    const Breakpoint& a = points_[i];
    const Breakpoint& b = points_[i + 1];
    const double fraction = (seconds - a.seconds) / (b.seconds - a.seconds);
    return static_cast<float>(a.value + (b.value - a.value) * fraction);
}

double parseTime(const std::string& text) {
    std::string number = text;
    double scale = 1.0;
    if (endsWith(number, "ms")) {
        number.resize(number.size() - 2);
        scale = 0.001;
    } else if (endsWith(number, "s")) {
        number.resize(number.size() - 1);
    }
    double value = 0.0;
    if (!parseNumber(number, value))
        throw RenderError("bad time '" + text + "' (expected seconds such as 2, 2s or 2000ms)");
    if (value < 0.0)
        throw RenderError("bad time '" + text + "' (times cannot be negative)");
    return value * scale;
}

double parseParameterValue(const std::string& text) {
    double value = 0.0;
    if (!parseNumber(text, value))
        throw RenderError("bad parameter value '" + text + "' (expected a number from 0 to 1)");
    if (value < 0.0 || value > 1.0)
        throw RenderError("parameter value '" + text + "' is outside 0 to 1");
    return value;
}

Envelope parseEnvelope(const std::string& text) {
    std::vector<Breakpoint> points;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t colon = item.find(':');
        if (colon == std::string::npos)
            throw RenderError("bad breakpoint '" + item + "' (expected TIME:VALUE, for example 2s:0.5)");
        const Breakpoint point{parseTime(item.substr(0, colon)), parseParameterValue(item.substr(colon + 1))};
        if (!points.empty() && point.seconds < points.back().seconds)
            throw RenderError("breakpoint '" + item + "' is out of order (times must not decrease)");
        points.push_back(point);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return Envelope(std::move(points));
}

std::pair<std::string, std::string> splitAssignment(const std::string& text, const std::string& option) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        throw RenderError(option + " expects NAME=VALUE, got '" + text + "'");
    return {text.substr(0, equals), text.substr(equals + 1)};
}

} // namespace render
