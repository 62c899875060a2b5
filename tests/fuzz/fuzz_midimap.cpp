// MIDI map files: any bytes must fill only entries 0..127 of the two tables,
// with a known parameter index and a valid channel mask.
#include <cstring>
#include <string>

#include "FuzzFile.h"
#include "HomeDirectory.h"
#include "MidiMapReader.h"

namespace {

class FuzzNames : public ParameterNameList {
public:
    int NumParameterNames() const override { return 6; }
    const char* ParameterName(int index) const override
    {
        static const char* const NAMES[] = {"Tilt", "NoteProb", nullptr, "Restore1", "MFlipH", "A"};
        return NAMES[index];
    }
};

bool ValidEntry(const MidiMapEntry& entry)
{
    if (entry.mParamIdx == -1) return entry.mChannelMask == 0;
    if (entry.mParamIdx < 0 || entry.mParamIdx >= 6 || entry.mParamIdx == 2) return false;
    const uint32_t mask = entry.mChannelMask;
    return mask == 0xFFFFu || (mask != 0 && mask <= 0x8000u && (mask & (mask - 1)) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    WriteFuzzFile("TarvoMidiMap.txt", pData, size);
    HomeDirectory home(FuzzFolder().c_str());
    FuzzNames names;
    // Guard entries on both sides catch writes outside the tables.
    MidiMapEntry control[MIDI_MAP_SIZE + 2];
    MidiMapEntry note[MIDI_MAP_SIZE + 2];
    const int applied = LoadMidiMap("TarvoMidiMap.txt", home, names, control + 1, note + 1);
    FUZZ_CHECK(applied >= 0);
    FUZZ_CHECK(control[0].mParamIdx == -1 && control[MIDI_MAP_SIZE + 1].mParamIdx == -1);
    FUZZ_CHECK(note[0].mParamIdx == -1 && note[MIDI_MAP_SIZE + 1].mParamIdx == -1);
    int mapped = 0;
    for (int i = 1; i <= MIDI_MAP_SIZE; ++i) {
        FUZZ_CHECK(ValidEntry(control[i]));
        FUZZ_CHECK(ValidEntry(note[i]));
        mapped += (control[i].mParamIdx >= 0) + (note[i].mParamIdx >= 0);
    }
    FUZZ_CHECK(mapped <= applied);

    MidiMapReader reader;
    FUZZ_CHECK(reader.Open((FuzzFolder() + "/TarvoMidiMap.txt").c_str()));
    while (reader.ReadNext()) {
        FUZZ_CHECK(reader.GetKind() == EMidiMapKind_ControlChange || reader.GetKind() == EMidiMapKind_Note);
        FUZZ_CHECK(std::strlen(reader.GetName()) <= MidiMapReader::NAME_LENGTH);
        FUZZ_CHECK(reader.GetNumber() >= 0 && reader.GetNumber() <= 9999);
        FUZZ_CHECK(reader.GetChannel() >= 0 && reader.GetChannel() <= 9999);
    }
    return 0;
}
