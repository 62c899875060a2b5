// One plug-in parameter: its kind, plain value, range, step, shape and
// display texts, with the mapping between plain and normalised (0 to 1)
// values that travel between host, editor and plug-in.
#pragma once

#include <vector>

enum ParamKind {
    ParamKind_None = 0,
    ParamKind_Bool,
    ParamKind_Int,
    ParamKind_Enum,
    ParamKind_Double
};

class IPlugParam {
public:
    static const int MAX_NAME_LEN = 32;
    static const int MAX_DISPLAY_TEXT_LEN = 32;

    IPlugParam();
    virtual ~IPlugParam() {}

    void DefineDouble(const char* name, double defaultValue, double minValue, double maxValue, double step,
                      const char* label = "");
    void DefineInt(const char* name, int defaultValue, int minValue, int maxValue, const char* label = "");
    void DefineEnum(const char* name, int defaultValue, int count);
    void DefineBool(const char* name, bool defaultValue);

    void AddDisplayText(int value, const char* text);
    // The text of the first entry with that value, or "".
    const char* FindDisplayText(int value) const;
    // Exact, case-sensitive match against every entry; the first match wins.
    bool ParseDisplayText(const char* text, int* pValue) const;
    int CountDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }

    void SetFromNormalized(double normalized);
    double ToNormalized() const { return ToNormalized(mValue); }
    double ToNormalized(double plainValue) const;
    // out must hold at least MAX_DISPLAY_TEXT_LEN characters.
    void FormatValue(double value, bool normalized, char* out) const;
    // The parameter's current value as text (for display, value prompts).
    void GetDisplayForHost(char* out) const { FormatValue(mValue, false, out); }

    // The value nearest to 0 inside [min, max]: what a button resets to.
    double ResetValue() const;

    ParamKind Kind() const { return mKind; }
    double Value() const { return mValue; }
    void SetValue(double plainValue) { mValue = plainValue; }
    // Stores the plain value clamped into [min, max].
    void SetClamped(double plainValue);
    int IntValue() const { return static_cast<int>(mValue); }
    double Min() const { return mMin; }
    double Max() const { return mMax; }
    double Step() const { return mStep; }
    double Shape() const { return mShape; }
    int DisplayPrecision() const { return mDisplayPrecision; }
    const char* Name() const { return mName; }
    const char* Label() const { return mLabel; }
    bool NegateDisplay() const { return mNegateDisplay; }
    void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
    void SetShape(double shape);

private:
    struct DisplayText {
        int mValue;
        char mText[MAX_DISPLAY_TEXT_LEN];
    };

    ParamKind mKind;
    double mValue;
    double mMin;
    double mMax;
    double mStep;
    double mShape;
    int mDisplayPrecision;
    char mName[MAX_NAME_LEN];
    char mLabel[MAX_NAME_LEN];
    bool mNegateDisplay;
    std::vector<DisplayText> mDisplayTexts;
};
