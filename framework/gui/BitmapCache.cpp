#include "BitmapCache.h"

#include "framework/raster/RasterBitmap.h"

BitmapCache& BitmapCache::Instance()
{
    // Destroyed when the module is unloaded, after every instance is gone.
    static BitmapCache cache;
    return cache;
}

BitmapCache::~BitmapCache()
{
    for (Entry& entry : mEntries) delete entry.mpBitmap;
}

RasterBitmap* BitmapCache::Find(int resourceId) const
{
    for (const Entry& entry : mEntries) {
        if (entry.mResourceId == resourceId && resourceId != NO_RESOURCE) return entry.mpBitmap;
    }
    return nullptr;
}

void BitmapCache::Add(int resourceId, RasterBitmap* pBitmap)
{
    if (!pBitmap) return;
    Entry entry = {resourceId < 0 ? NO_RESOURCE : resourceId, pBitmap};
    mEntries.push_back(entry);
}

void BitmapCache::Keep(RasterBitmap* pBitmap)
{
    if (!pBitmap) return;
    std::lock_guard<std::mutex> lock(mMutex);
    for (const Entry& entry : mEntries) {
        if (entry.mpBitmap == pBitmap) return;
    }
    Add(NO_RESOURCE, pBitmap);
}

bool BitmapCache::Drop(RasterBitmap* pBitmap)
{
    std::lock_guard<std::mutex> lock(mMutex);
    for (size_t i = 0; i < mEntries.size(); ++i) {
        if (mEntries[i].mpBitmap != pBitmap) continue;
        if (mEntries[i].mResourceId != NO_RESOURCE) return false;
        delete pBitmap;
        mEntries.erase(mEntries.begin() + i);
        return true;
    }
    return false;
}
