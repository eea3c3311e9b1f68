// The pictures of the process, each read from the library's resources by its integer ID and shared by
// every bitmap that shows it. Hosts create an instance for every plug-in scan and project load, so a
// picture's size comes from its PNG header alone, and its pixels are decoded once per process, when
// first drawn, then shared read-only.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

// A resource's bytes, in storage that lives as long as the library.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// [any thread] Where this build keeps its pictures: the DLL's resource section (type PNG) on Windows,
// bytes compiled into the library elsewhere. Empty when there is no such resource.
ResourceBytes findPictureResource(int id);

// [any thread] The width and height a PNG's header declares; false when it is not a readable PNG.
bool readPictureSize(const ResourceBytes& png, int& width, int& height);
// [any thread] The PNG's pixels, premultiplied (see CPixelBuffer); empty when it cannot be decoded or
// does not have the expected size.
std::vector<uint32_t> decodePicture(const ResourceBytes& png, int width, int height);

class SharedPicture {
  public:
    SharedPicture(const ResourceBytes& png, int width, int height);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    // [GUI thread, any editor's] Decodes on the first call in the process; null when the data is corrupt.
    const uint32_t* pixels() const;
    // [any thread] Whether pixels() ran.
    bool isDecoded() const { return decodedOnce.load(); }
    // [GUI thread, any editor's] The part [left, right) x [top, bottom) of the pixels averaged by area
    // (AreaFilter) onto `width` x `height` pixels: made on the first request for that part and size in the
    // process, then shared read-only. Null when the picture has no pixels or the part or size is empty.
    const uint32_t* resampled(int left, int top, int right, int bottom, int width, int height) const;

  private:
    ResourceBytes png;
    int width;
    int height;
    mutable std::once_flag decodeOnce;
    mutable std::vector<uint32_t> decoded;
    mutable std::atomic<bool> decodedOnce{false};
    mutable std::mutex resampling;
    mutable std::map<std::array<int, 6>, std::vector<uint32_t>> resampledParts;
};

// [any thread] The shared picture for a resource ID, made on first request; null when the resource is
// missing or its header unreadable. Lives until the library is unloaded.
const SharedPicture* sharedPicture(int id);
