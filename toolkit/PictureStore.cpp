#include "PictureStore.h"

#include <map>
#include <memory>

SharedPicture::SharedPicture(const ResourceBytes& bytes, int w, int h) : png(bytes), width(w), height(h) {}

const uint32_t* SharedPicture::pixels() const {
    std::call_once(decodeOnce, [this] { decoded = decodePicture(png, width, height); });
    return decoded.empty() ? nullptr : decoded.data();
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
