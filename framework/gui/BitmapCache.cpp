#include "BitmapCache.h"

#include "framework/raster/RasterBitmap.h"

BitmapCache& BitmapCache::Instance()
{
    // Destroyed when the module is unloaded, after every instance is gone.
    static BitmapCache cache;
    return cache;
}

BitmapCache::~BitmapCache() {}

RasterBitmap* BitmapCache::Find(int resourceId) const
{
    for (const Entry& entry : mEntries) {
        if (entry.mResourceId == resourceId && resourceId != NO_RESOURCE) return entry.mpBitmap.get();
    }
    return nullptr;
}

void BitmapCache::Add(int resourceId, RasterBitmap* pBitmap)
{
    if (!pBitmap) return;
    mEntries.push_back(Entry{resourceId < 0 ? NO_RESOURCE : resourceId, std::unique_ptr<RasterBitmap>(pBitmap)});
}

void BitmapCache::Keep(RasterBitmap* pBitmap)
{
    if (!pBitmap) return;
    std::lock_guard<std::mutex> lock(mMutex);
    for (const Entry& entry : mEntries) {
        if (entry.mpBitmap.get() == pBitmap) return;
    }
    Add(NO_RESOURCE, pBitmap);
}

bool BitmapCache::Drop(RasterBitmap* pBitmap)
{
    std::lock_guard<std::mutex> lock(mMutex);
    for (size_t i = 0; i < mEntries.size(); ++i) {
        if (mEntries[i].mpBitmap.get() != pBitmap) continue;
        if (mEntries[i].mResourceId != NO_RESOURCE) return false;
        mEntries.erase(mEntries.begin() + i);
        return true;
    }
    return false;
}
