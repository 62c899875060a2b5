// The surface's drawing primitives on the raster library, and its images.
#include "IGraphicsLice.h"

#include <cassert>
#include <cctype>
#include <cmath>
#include <cstring>
#include <utility>

#include "BitmapCache.h"
#include "IBitmapControl.h"
#include "framework/raster/Raster.h"
#include "framework/raster/SystemBitmap.h"
#include "framework/raster/TextRenderer.h"

namespace {

RasterBlend RasterMethod(const BlendMode* pBlend)
{
    if (!pBlend) return RasterBlend_Alpha;
    switch (pBlend->mMethod) {
    case BlendMethod_Plain:
        return RasterBlend_Plain;
    case BlendMethod_Add:
        return RasterBlend_Add;
    case BlendMethod_Dodge:
        return RasterBlend_Dodge;
    default:
        return RasterBlend_Alpha;
    }
}

float RasterWeight(const BlendMode* pBlend) { return pBlend ? pBlend->mWeight : 1.0f; }

RasterRect Shifted(const ControlRect& rect, int originX, int originY)
{
    return RasterRect{rect.mLeft - originX, rect.mTop - originY, rect.mRight - originX, rect.mBottom - originY};
}

bool EndsInPng(const char* name)
{
    const char* dot = name ? std::strrchr(name, '.') : nullptr;
    if (!dot) return false;
    const char* expected = "png";
    const char* p = dot + 1;
    for (; *p && *expected; ++p, ++expected) {
        if (std::tolower(static_cast<unsigned char>(*p)) != *expected) return false;
    }
    return *p == '\0' && *expected == '\0';
}

}  // namespace

RasterBitmap* IGraphicsLice::Target(int* pOriginX, int* pOriginY)
{
    if (mpTarget) {
        *pOriginX = mTargetX;
        *pOriginY = mTargetY;
        return mpTarget;
    }
    *pOriginX = 0;
    *pOriginY = 0;
    return mpDrawBitmap.get();
}

bool IGraphicsLice::CopyImage(RasterBitmap& image, const ControlRect& dest, int srcX, int srcY, const BlendMode* pBlend)
{
    int originX, originY;
    RasterBitmap* pTarget = Target(&originX, &originY);
    if (!pTarget) return false;
    Raster::CopyBitmap(*pTarget, dest.mLeft - originX, dest.mTop - originY, image, srcX, srcY, dest.Width(),
                       dest.Height(), RasterMethod(pBlend), RasterWeight(pBlend));
    return true;
}

bool IGraphicsLice::DrawBitmap(const BitmapRef& bitmap, const ControlRect& dest, int srcX, int srcY,
                               const BlendMode* pBlend)
{
    if (!bitmap.mpImage) return false;
    return CopyImage(*bitmap.mpImage, dest, srcX, srcY, pBlend);
}

bool IGraphicsLice::DrawBitmap(const BitmapRef& bitmap, const ControlRect& dest, int frame, const BlendMode* pBlend)
{
    int srcY = 0;
    if (bitmap.mFrames > 1 && frame > 1) {
        srcY = static_cast<int>(std::lround(static_cast<double>(bitmap.mHeight) * (frame - 1) / bitmap.mFrames));
    }
    return DrawBitmap(bitmap, dest, 0, srcY, pBlend);
}

bool IGraphicsLice::DrawBitmapRotated(const BitmapRef& bitmap, int centreX, int centreY, double angle, int frame,
                                      const BlendMode* pBlend)
{
    if (!bitmap.mpImage) return false;
    int originX, originY;
    RasterBitmap* pTarget = Target(&originX, &originY);
    if (!pTarget) return false;
    int frameHeight = bitmap.FrameHeight();
    int top = bitmap.mFrames > 1 && frame > 1
                  ? static_cast<int>(std::lround(static_cast<double>(bitmap.mHeight) * (frame - 1) / bitmap.mFrames))
                  : 0;
    RasterRect source = {0, top, bitmap.mWidth, top + frameHeight};
    Raster::DrawRotated(*pTarget, *bitmap.mpImage, source, static_cast<float>(centreX - originX),
                        static_cast<float>(centreY - originY), static_cast<float>(angle), RasterMethod(pBlend),
                        RasterWeight(pBlend));
    return true;
}

bool IGraphicsLice::DrawRotatedLayers(const BitmapRef& base, const BitmapRef& mask, const BitmapRef& top, int x, int y,
                                      double angle, const BlendMode* pBlend)
{
    if (!base.mpImage || !mpScratch) return false;
    int width = base.mWidth, height = base.FrameHeight();
    if (mpScratch->Width() != width || mpScratch->Height() != height) {
        if (!mpScratch->Resize(width, height)) return false;
    } else {
        Raster::FillRect(*mpScratch, RasterRect{0, 0, width, height}, 0, RasterBlend_Plain);
    }
    Raster::CopyBitmap(*mpScratch, 0, 0, *base.mpImage, 0, 0, width, height, RasterBlend_Plain);
    if (mask.mpImage) {
        RasterRect maskRect = {0, 0, mask.mWidth, mask.FrameHeight()};
        Raster::DrawRotated(*mpScratch, *mask.mpImage, maskRect, width / 2.0f, height / 2.0f,
                            static_cast<float>(angle));
    }
    if (top.mpImage) Raster::CopyBitmap(*mpScratch, 0, 0, *top.mpImage, 0, 0, top.mWidth, top.FrameHeight());
    return CopyImage(*mpScratch, ControlRect(x, y, x + width, y + height), 0, 0, pBlend);
}

bool IGraphicsLice::DrawPoint(const Color& color, int x, int y, const BlendMode* pBlend)
{
    int originX, originY;
    RasterBitmap* pTarget = Target(&originX, &originY);
    if (!pTarget) return false;
    Raster::BlendPixel(*pTarget, x - originX, y - originY, color.Packed(), RasterMethod(pBlend), RasterWeight(pBlend));
    return true;
}

bool IGraphicsLice::WritePixel(const Color& color, int x, int y)
{
    int originX, originY;
    RasterBitmap* pTarget = Target(&originX, &originY);
    if (!pTarget) return false;
    Raster::PutPixel(*pTarget, x - originX, y - originY, color.Packed());
    return true;
}

bool IGraphicsLice::DrawLine(const Color& color, float x1, float y1, float x2, float y2, const BlendMode* pBlend,
                             bool antialias)
{
    int originX, originY;
    RasterBitmap* pTarget = Target(&originX, &originY);
    if (!pTarget) return false;
    Raster::DrawLine(*pTarget, x1 - originX, y1 - originY, x2 - originX, y2 - originY, color.Packed(),
                     RasterMethod(pBlend), RasterWeight(pBlend), antialias);
    return true;
}

bool IGraphicsLice::DrawArc(const Color& color, float centreX, float centreY, float radius, float startAngle,
                            float endAngle, const BlendMode* pBlend, bool antialias)
{
    int originX, originY;
    RasterBitmap* pTarget = Target(&originX, &originY);
    if (!pTarget) return false;
    Raster::DrawArc(*pTarget, centreX - originX, centreY - originY, radius, startAngle, endAngle, color.Packed(),
                    RasterMethod(pBlend), RasterWeight(pBlend), antialias);
    return true;
}

bool IGraphicsLice::DrawCircle(const Color& color, float centreX, float centreY, float radius, const BlendMode* pBlend,
                               bool antialias)
{
    int originX, originY;
    RasterBitmap* pTarget = Target(&originX, &originY);
    if (!pTarget) return false;
    Raster::DrawCircle(*pTarget, centreX - originX, centreY - originY, radius, color.Packed(), RasterMethod(pBlend),
                       RasterWeight(pBlend), antialias);
    return true;
}

bool IGraphicsLice::FillArea(const Color& color, const ControlRect& rect, const BlendMode* pBlend)
{
    int originX, originY;
    RasterBitmap* pTarget = Target(&originX, &originY);
    if (!pTarget) return false;
    Raster::FillRect(*pTarget, Shifted(rect, originX, originY), color.Packed(), RasterMethod(pBlend),
                     RasterWeight(pBlend));
    return true;
}

bool IGraphicsLice::DrawVerticalLine(const Color& color, int x, int y1, int y2)
{
    if (y1 > y2) std::swap(y1, y2);
    return FillArea(color, ControlRect(x, y1, x + 1, y2 + 1), nullptr);
}

bool IGraphicsLice::DrawHorizontalLine(const Color& color, int y, int x1, int x2)
{
    if (x1 > x2) std::swap(x1, x2);
    return FillArea(color, ControlRect(x1, y, x2 + 1, y + 1), nullptr);
}

bool IGraphicsLice::DrawTextInRect(const TextStyle& style, const char* text, const ControlRect& rect)
{
    if (!text) return false;
    int originX, originY;
    RasterBitmap* pTarget = Target(&originX, &originY);
    if (!pTarget) return false;
    if (!mFontCreated) {
        // As the window system's font object would: made once from the first
        // style, then kept for every text of this surface.
        mFontStyle = style;
        mFontCreated = true;
    }
    TextFormat format = MakeTextFormat(mFontStyle.mFontName, mFontStyle.mSize, style.mColor.Packed(), mFontStyle.mStyle,
                                       style.mAlignment, mFontStyle.mOrientation);
    return mpTextRenderer->DrawTextInRect(*pTarget, format, text, Shifted(rect, originX, originY), false);
}

Color IGraphicsLice::ReadPixel(int x, int y)
{
    if (!mpDrawBitmap) return Color(0, 0, 0, 0);
    return Color::FromPacked(Raster::GetPixel(*mpDrawBitmap, x, y));
}

RasterBitmap* IGraphicsLice::PixelBuffer() { return mpDrawBitmap.get(); }

// ---- Images

BitmapRef IGraphicsLice::LoadImage(int resourceId, const char* name, int frames)
{
    BitmapCache& cache = BitmapCache::Instance();
    RasterBitmap* pImage = nullptr;
    {
        // Held across the decode, so that two instances loading the same
        // image at once decode it once.
        std::lock_guard<std::mutex> lock(cache.Mutex());
        pImage = cache.Find(resourceId);
        if (!pImage) {
            pImage = LoadPngResource(resourceId, name);
            bool imgResourceFound = pImage != nullptr;
            assert(imgResourceFound);
            (void)imgResourceFound;
            if (pImage) cache.Add(resourceId, pImage);
        }
    }
    if (!pImage) return BitmapRef(nullptr, 0, 0, frames);
    return BitmapRef(pImage, pImage->Width(), pImage->Height(), frames);
}

RasterBitmap* IGraphicsLice::LoadPngResource(int resourceId, const char* name)
{
    if (!EndsInPng(name)) return nullptr;
    const unsigned char* pData = nullptr;
    size_t size = 0;
    if (!mPngResourceLookup || !mPngResourceLookup(resourceId, &pData, &size) || size < 8) return nullptr;
    return Raster::DecodePng(pData, size);
}

BitmapRef IGraphicsLice::MakeScaledCopy(const BitmapRef& bitmap, int width, int height)
{
    if (!bitmap.mpImage) return BitmapRef();
    MemoryBitmap* pCopy = Raster::ScaledBitmap(*bitmap.mpImage, width, height);
    if (!pCopy) return BitmapRef();
    KeepBitmap(pCopy);
    return BitmapRef(pCopy, width, height, bitmap.mFrames);
}

BitmapRef IGraphicsLice::MakeCroppedCopy(const BitmapRef& bitmap, const ControlRect& rect)
{
    if (!bitmap.mpImage) return BitmapRef();
    MemoryBitmap* pCopy = Raster::CroppedCopy(*bitmap.mpImage, Shifted(rect, 0, 0));
    if (!pCopy) return BitmapRef();
    KeepBitmap(pCopy);
    return BitmapRef(pCopy, pCopy->Width(), pCopy->Height(), 1);
}

void IGraphicsLice::KeepBitmap(RasterBitmap* pBitmap) { BitmapCache::Instance().Keep(pBitmap); }

bool IGraphicsLice::DropBitmap(RasterBitmap* pBitmap) { return BitmapCache::Instance().Drop(pBitmap); }

void IGraphicsLice::AddBackground(int resourceId, const char* name)
{
    BitmapRef bitmap = LoadImage(resourceId, name, 1);
    std::unique_ptr<IControl> pBackground(
        new IBitmapControl(mpParamHost, ControlRect(0, 0, mWidth, mHeight), -1, bitmap));
    pBackground->SetGraphics(this);
    ScopedLock lock(mSurfaceLock);
    mControls.insert(mControls.begin(), std::move(pBackground));
    if (mCapture >= 0) ++mCapture;
    if (mMouseOver >= 0) ++mMouseOver;
}
