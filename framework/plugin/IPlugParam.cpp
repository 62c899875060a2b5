#include "IPlugParam.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// At most size - 1 characters and the terminator. A plain copy: an instance
// copies its names, labels and display texts by the thousand when it is
// created.
void CopyText(char* destination, const char* source, int size)
{
    if (size <= 0) return;
    const char* text = source ? source : "";
    const size_t length = strnlen(text, static_cast<size_t>(size) - 1);
    std::memcpy(destination, text, length);
    destination[length] = '\0';
}

}  // namespace

IPlugParam::IPlugParam()
    : mKind(ParamKind_None), mValue(0.0), mMin(0.0), mMax(1.0), mStep(1.0), mShape(1.0), mDisplayPrecision(0),
      mNegateDisplay(false)
{
    mName[0] = '\0';
    mLabel[0] = '\0';
}

void IPlugParam::DefineDouble(const char* name, double defaultValue, double minValue, double maxValue, double step,
                              const char* label)
{
    if (mKind == ParamKind_None) mKind = ParamKind_Double;
    CopyText(mName, name, MAX_NAME_LEN);
    CopyText(mLabel, label, MAX_NAME_LEN);
    mMin = minValue;
    mValue = defaultValue;
    mMax = std::fmax(maxValue, minValue + step);
    mStep = step;
    mDisplayPrecision = 0;
    for (double s = step; s != std::floor(s) && mDisplayPrecision < 6; s *= 10.0) ++mDisplayPrecision;
}

void IPlugParam::DefineInt(const char* name, int defaultValue, int minValue, int maxValue, const char* label)
{
    if (mKind == ParamKind_None) mKind = ParamKind_Int;
    DefineDouble(name, defaultValue, minValue, maxValue, 1.0, label);
}

void IPlugParam::DefineEnum(const char* name, int defaultValue, int count)
{
    if (mKind == ParamKind_None) mKind = ParamKind_Enum;
    DefineDouble(name, defaultValue, 0.0, count - 1, 1.0, "");
    // Enumerations usually name every value.
    if (count > 0) mDisplayTexts.reserve(static_cast<size_t>(count));
}

void IPlugParam::DefineBool(const char* name, bool defaultValue)
{
    if (mKind == ParamKind_None) mKind = ParamKind_Bool;
    DefineDouble(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, "");
    mDisplayTexts.reserve(2);
    AddDisplayText(0, "off");
    AddDisplayText(1, "on");
}

void IPlugParam::SetShape(double shape)
{
    if (shape > 0.0) mShape = shape;
}

void IPlugParam::AddDisplayText(int value, const char* text)
{
    DisplayText entry;
    entry.mValue = value;
    CopyText(entry.mText, text, MAX_DISPLAY_TEXT_LEN);
    mDisplayTexts.push_back(entry);
}

const char* IPlugParam::FindDisplayText(int value) const
{
    for (const DisplayText& entry : mDisplayTexts) {
        if (entry.mValue == value) return entry.mText;
    }
    return "";
}

bool IPlugParam::ParseDisplayText(const char* text, int* pValue) const
{
    if (!text) return false;
    for (const DisplayText& entry : mDisplayTexts) {
        if (std::strcmp(entry.mText, text) == 0) {
            *pValue = entry.mValue;
            return true;
        }
    }
    return false;
}

void IPlugParam::SetFromNormalized(double normalized)
{
    double value = std::pow(normalized, mShape) * (mMax - mMin) + mMin;
    if (mKind != ParamKind_Double) value = std::floor(value / mStep + 0.5) * mStep;
    // Only the upper end is clamped, as the host-visible mapping always was.
    mValue = std::fmin(value, mMax);
}

double IPlugParam::ToNormalized(double plainValue) const
{
    double v = std::clamp(plainValue, mMin, mMax);
    if (!(v >= mMin)) v = mMin;  // not a number
    return std::pow((v - mMin) / (mMax - mMin), 1.0 / mShape);
}

void IPlugParam::SetClamped(double plainValue)
{
    if (plainValue != plainValue) plainValue = mMin;  // not a number
    mValue = std::clamp(plainValue, mMin, mMax);
}

double IPlugParam::ResetValue() const
{
    if (mMin > 0.0) return mMin;
    if (mMax < 0.0) return mMax;
    return 0.0;
}

void IPlugParam::FormatValue(double value, bool normalized, char* out) const
{
    if (normalized) value = std::pow(value, mShape) * (mMax - mMin) + mMin;
    if (!mDisplayTexts.empty() && value == value && std::fabs(value) < 2147483647.0) {
        int key = static_cast<int>(value);
        for (const DisplayText& entry : mDisplayTexts) {
            if (entry.mValue == key) {
                if (entry.mText[0]) {
                    CopyText(out, entry.mText, MAX_DISPLAY_TEXT_LEN);
                    return;
                }
                break;
            }
        }
    }
    if (mNegateDisplay) value = -value;
    if (value == 0.0 || value != value) {
        std::strcpy(out, "0");
    } else if (mDisplayPrecision == 0) {
        // Out-of-range doubles have no int; print them whole instead.
        if (std::fabs(value) < 2147483647.0) {
            std::snprintf(out, MAX_DISPLAY_TEXT_LEN, "%d", static_cast<int>(value));
        } else {
            std::snprintf(out, MAX_DISPLAY_TEXT_LEN, "%.0f", value);
        }
    } else {
        char format[16];
        std::snprintf(format, sizeof format, "%%.%df", mDisplayPrecision);
        std::snprintf(out, MAX_DISPLAY_TEXT_LEN, format, value);
    }
}
