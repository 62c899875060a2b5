// The options of "Tarvo3.ini" beside the plug-in module: options the host
// cannot reach (the scale-file folder, the MIDI map file, the octave
// numbering of note names, the cell editing mode, and the folders the scene
// dialogs open in). Read once while the processor is built; nothing is ever
// written back.
#pragma once

#include <string>

class HomeDirectory;

// One configuration item: its key, its value as text and as an integer.
class Configurable {
public:
    Configurable() : mNumber(0.0) {}
    virtual ~Configurable() {}

    void SetName(const char* pName);
    void SetText(const char* pString);
    void SetNumber(double number) { mNumber = number; }

    const char* GetName() const { return mName.c_str(); }
    const char* GetText() const { return mText.c_str(); }
    double GetNumber() const { return mNumber; }

private:
    std::string mName;
    std::string mText;
    double mNumber;  // 0 until the file sets the item, whatever the default text
};

enum EConfigurable {
    EConfigurable_ScaleFolder = 0,
    EConfigurable_MidiMap,
    EConfigurable_LowestOctave,
    EConfigurable_Palette,
    EConfigurable_SceneFolder,
    EConfigurable_UserSceneFolder,
    EConfigurable_NumItems
};

// The processor's ordered list of configuration items with their defaults.
class Configuration {
public:
    static const char* const FILE_NAME;  // "Tarvo3.ini"

    Configuration();
    virtual ~Configuration() {}

    int GetSize() const { return EConfigurable_NumItems; }
    Configurable* GetConfigurable(int configIdx);
    const Configurable* GetConfigurable(int configIdx) const;
    // The first item whose name equals pKey exactly (case-sensitive), or null.
    Configurable* FindConfigurable(const char* pKey);

    // Applies every entry of the file at pPath; false when it cannot be
    // opened, in which case every item keeps what it had.
    bool ReadFile(const char* pPath);
    // Reads "Tarvo3.ini" from the folder of the plug-in module.
    bool ReadFromModuleFolder(HomeDirectory& home);

    // The octave number of MIDI note 0 in note names: -2, -1 or 0.
    int LowestOctave() const;
    // True when "Palette" selects single-click painting of the cells.
    bool SingleClickPalette() const;

    // The leading decimal integer of pText as the C library's atoi reads it,
    // except that values beyond the int range are clamped instead of being
    // undefined.
    static int ParseInteger(const char* pText);

private:
    Configurable mConfigurables[EConfigurable_NumItems];
};
