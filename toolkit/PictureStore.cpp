#include "PictureStore.h"

#include "AreaFilter.h"

#include <map>
#include <memory>

SharedPicture::SharedPicture(const ResourceBytes& bytes, int w, int h) : png(bytes), width(w), height(h) {}

const uint32_t* SharedPicture::pixels() const {
    std::call_once(decodeOnce, [this] {
        decoded = decodePicture(png, width, height);
        decodedOnce = true;
    });
    return decoded.empty() ? nullptr : decoded.data();
}

const uint32_t* SharedPicture::resampled(int left, int top, int right, int bottom, int toWidth,
                                         int toHeight) const {
    const uint32_t* source = pixels();
    const AreaFilter filter(source, width, height, left, top, right, bottom, toWidth, toHeight);
    if (source == nullptr || filter.isEmpty()) {
        return nullptr;
    }
    const std::lock_guard<std::mutex> lock(resampling);
    std::vector<uint32_t>& part = resampledParts[{left, top, right, bottom, toWidth, toHeight}];
    if (part.empty()) {
        part.resize(static_cast<std::size_t>(toWidth) * toHeight);
        for (int y = 0; y < toHeight; ++y) {
            for (int x = 0; x < toWidth; ++x) {
                part[static_cast<std::size_t>(y) * toWidth + x] = filter.at(x, y);
            }
        }
    }
    return part.data();
}

const SharedPicture* sharedPicture(int id) {
    static std::mutex guard;
    static std::map<int, std::unique_ptr<SharedPicture>> pictures;

    const std::lock_guard<std::mutex> lock(guard);
    auto found = pictures.find(id);
    if (found == pictures.end()) {
        const ResourceBytes bytes = findPictureResource(id);
        int width = 0;
        int height = 0;
        std::unique_ptr<SharedPicture> picture;
        if (readPictureSize(bytes, width, height)) {
            picture = std::make_unique<SharedPicture>(bytes, width, height);
        }
        // A missing picture is remembered too, so asking again costs one lookup.
        found = pictures.emplace(id, std::move(picture)).first;
    }
    return found->second.get();
}
