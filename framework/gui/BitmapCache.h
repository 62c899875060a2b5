// The process-wide cache of the editor's images, shared by every plug-in
// instance in the process and guarded by its own lock. Images decoded from
// resources are kept under their resource id; copies the surfaces make
// (scaled, cropped, or handed over with KeepBitmap) are kept without one.
// Everything stays until the module is unloaded, except copies that a
// surface drops explicitly.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

class RasterBitmap;

class BitmapCache {
public:
    static BitmapCache& Instance();

    // The lock a caller holds across Find and Add, so that an image is
    // decoded once even when two instances load it at the same moment.
    std::mutex& Mutex() { return mMutex; }

    // Callers hold Mutex() for these three.
    RasterBitmap* Find(int resourceId) const;
    void Add(int resourceId, RasterBitmap* pBitmap);
    int NEntries() const { return static_cast<int>(mEntries.size()); }

    // Each takes the lock itself. Keep takes ownership of a copy; Drop
    // deletes a kept copy and returns true, and refuses (false) bitmaps it
    // does not hold and images of resources, which other instances share.
    void Keep(RasterBitmap* pBitmap);
    bool Drop(RasterBitmap* pBitmap);

private:
    BitmapCache() {}
    ~BitmapCache();
    BitmapCache(const BitmapCache&) = delete;
    BitmapCache& operator=(const BitmapCache&) = delete;

    static constexpr int NO_RESOURCE = -1;

    struct Entry {
        int mResourceId;
        std::unique_ptr<RasterBitmap> mpBitmap;
    };

    std::mutex mMutex;
    std::vector<Entry> mEntries;
};
