#include "Configurable.h"

#include <cassert>
#include <climits>
#include <cstring>

#include "ConfigurationFileReader.h"
#include "HomeDirectory.h"

void Configurable::SetName(const char* pName)
{
    assert(pName);
    mName = pName;
}

void Configurable::SetText(const char* pString)
{
    assert(pString);
    mText = pString;
}

const char* const Configuration::FILE_NAME = "Tarvo3.ini";

namespace {

struct ConfigurableDefault {
    const char* mpKey;
    const char* mpText;
};

const ConfigurableDefault DEFAULTS[EConfigurable_NumItems] = {
    {"ScaleFolder", ""},
    {"MidiMap", "TarvoMidiMap.txt"},
    {"LowestOctave", "0"},
    {"Palette", "Single"},
    // The factory scenes beside the plug-in.
    {"SceneFolder", "Scenes"},
    // Empty: the user's data folder (see FileFolders).
    {"UserSceneFolder", ""},
};

}  // namespace

Configuration::Configuration()
{
    for (int i = 0; i < EConfigurable_NumItems; ++i) {
        mConfigurables[i].SetName(DEFAULTS[i].mpKey);
        mConfigurables[i].SetText(DEFAULTS[i].mpText);
    }
}

Configurable* Configuration::GetConfigurable(int configIdx)
{
    assert(configIdx >= 0 && configIdx < GetSize());
    return &mConfigurables[configIdx];
}

const Configurable* Configuration::GetConfigurable(int configIdx) const
{
    assert(configIdx >= 0 && configIdx < GetSize());
    return &mConfigurables[configIdx];
}

Configurable* Configuration::FindConfigurable(const char* pKey)
{
    assert(pKey);
    for (int i = 0; i < GetSize(); ++i) {
        if (std::strcmp(mConfigurables[i].GetName(), pKey) == 0) return &mConfigurables[i];
    }
    return nullptr;
}

bool Configuration::ReadFile(const char* pPath)
{
    ConfigurationFileReader reader;
    if (!reader.Open(pPath)) return false;
    while (reader.ReadEntry()) {
        Configurable* pItem = FindConfigurable(reader.GetKey());
        if (!pItem) continue;
        pItem->SetText(reader.GetValue());
        pItem->SetNumber(ParseInteger(reader.GetValue()));
    }
    reader.Close();
    return true;
}

bool Configuration::ReadFromModuleFolder(HomeDirectory& home) { return ReadFile(home.MakeHomePath(FILE_NAME)); }

int Configuration::LowestOctave() const
{
    const double number = GetConfigurable(EConfigurable_LowestOctave)->GetNumber();
    if (number < -2.0 || number > 0.0) return 0;
    return static_cast<int>(number);
}

bool Configuration::SingleClickPalette() const
{
    return EqualIgnoringCase(GetConfigurable(EConfigurable_Palette)->GetText(), "Single");
}

int Configuration::ParseInteger(const char* pText)
{
    // As atoi reads it, but a number beyond an int is its nearest limit.
    assert(pText);
    const char* p = pText;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    while (*p == '0') ++p;  // leading zeros add nothing
    int64_t magnitude = 0;
    int digits = 0;
    ReadDecimal(p, 18, &magnitude, &digits);
    const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
    if (digits > 18 || magnitude > limit) magnitude = limit;
    return static_cast<int>(negative ? -magnitude : magnitude);
}
