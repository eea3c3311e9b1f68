#include "X11Resources.h"

#include "CGeometry.h"

#include <charconv>
#include <cstdlib>
#include <memory>

namespace x11 {

namespace {

constexpr std::string_view kDpiResource = "Xft.dpi";
constexpr double kUnscaledDpi = 96.0;
// More than any desktop's resources; the property is read in one request.
constexpr uint32_t kLongestResources = 1 << 20;

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

double scaleFromResources(std::string_view resources) {
    double dpi = 0.0;
    while (!resources.empty()) {
        const std::size_t end = resources.find('\n');
        const std::string_view line = resources.substr(0, end);
        resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || trimmed(line.substr(0, colon)) != kDpiResource) {
            continue;
        }
        // Locale-independent, unlike strtod: a host may have set a decimal comma.
        const std::string_view value = trimmed(line.substr(colon + 1));
        double parsed = 0.0;
        const auto [rest, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
        // The last line wins, as with xrdb's own reading.
        dpi = error == std::errc() && rest == value.data() + value.size() ? parsed : 0.0;
    }
    const double factor = dpi / kUnscaledDpi;
    return isScaleFactor(factor) ? factor : 0.0;
}

std::string rootResources(xcb_connection_t* connection, const xcb_screen_t& screen) {
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, screen.root, XCB_ATOM_RESOURCE_MANAGER,
                                                XCB_ATOM_STRING, 0, kLongestResources / 4),
                               nullptr),
        &std::free);
    if (!property || property->format != 8) {
        return {};
    }
    return std::string(static_cast<const char*>(xcb_get_property_value(property.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(property.get())));
}

} // namespace x11
