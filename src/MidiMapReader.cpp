#include "MidiMapReader.h"

#include <cassert>
#include <cstring>

#include "HomeDirectory.h"
#include "TextFileReader.h"

MidiMapReader::MidiMapReader() : mKind(EMidiMapKind_None), mNumber(0), mChannel(0)
{
    mName[0] = '\0';
    mLine[0] = '\0';
}

MidiMapReader::~MidiMapReader() {}

bool MidiMapReader::Open(const char* pPath) { return mFile.Open(pPath); }

void MidiMapReader::Close() { mFile.Close(); }

bool MidiMapReader::ReadNext()
{
    mKind = EMidiMapKind_None;
    LineRules rules;
    rules.mDropComment = true;
    while (mFile.ReadLineWith(rules, mLine, LINE_LENGTH)) {
        ParseLine();
        if (mKind != EMidiMapKind_None) return true;
    }
    return false;
}

void MidiMapReader::ParseLine()
{
    mKind = EMidiMapKind_None;
    mNumber = 0;
    mChannel = 0;
    const char* p = mLine;
    while (IsBlank(*p)) ++p;
    int length = 0;
    for (; *p && !IsBlank(*p); ++p) {
        if (length < NAME_LENGTH) mName[length++] = *p;
    }
    mName[length] = '\0';

    while (IsBlank(*p)) ++p;
    if (ToLowerAscii(p[0]) == 'c' && ToLowerAscii(p[1]) == 'c') {
        mKind = EMidiMapKind_ControlChange;
        p = ReadNumber(p + 2, &mNumber);
    } else if (ToLowerAscii(p[0]) == 'k') {
        mKind = EMidiMapKind_Note;
        p = ReadNumber(p + 1, &mNumber);
    } else {
        return;
    }

    while (IsBlank(*p)) ++p;
    if (*p == ':') ReadNumber(p + 1, &mChannel);
}

const char* MidiMapReader::ReadNumber(const char* p, int32_t* pNumber)
{
    // The first four digits count; more name no MIDI number anyway.
    while (IsBlank(*p)) ++p;
    int64_t number = 0;
    int digits = 0;
    p = ReadDecimal(p, NUMBER_LENGTH, &number, &digits);
    *pNumber = static_cast<int32_t>(number);
    return p;
}

int FindParameterIgnoringCase(const ParameterNameList& names, const char* pName)
{
    assert(pName);
    const int count = names.NumParameterNames();
    for (int i = 0; i < count; ++i) {
        const char* pCandidate = names.ParameterName(i);
        if (pCandidate && EqualIgnoringCase(pCandidate, pName)) return i;
    }
    return -1;
}

int LoadMidiMap(const char* pMapValue, HomeDirectory& home, const ParameterNameList& names,
                MidiMapEntry controlMap[MIDI_MAP_SIZE], MidiMapEntry noteMap[MIDI_MAP_SIZE])
{
    assert(pMapValue);
    if (!pMapValue[0]) return -1;
    const char* pSource = HomeDirectory::IsAbsolutePath(pMapValue) ? pMapValue : home.MakeHomePath(pMapValue);

    char path[HomeDirectory::PATH_LENGTH + 1];
    std::strncpy(path, pSource, HomeDirectory::PATH_LENGTH);
    path[HomeDirectory::PATH_LENGTH] = '\0';

    MidiMapReader reader;
    if (!reader.Open(path)) return -1;
    int applied = 0;
    while (reader.ReadNext()) {
        // The tables have one entry per MIDI number; four digits reach 9999.
        if (reader.GetNumber() < 0 || reader.GetNumber() >= MIDI_MAP_SIZE) continue;
        const int index = FindParameterIgnoringCase(names, reader.GetName());
        if (index < 0) continue;
        MidiMapEntry entry;
        entry.mParamIdx = index;
        entry.mChannelMask = reader.GetChannel() > 15 ? 0xFFFFu : (1u << reader.GetChannel());
        if (reader.GetKind() == EMidiMapKind_ControlChange) {
            controlMap[reader.GetNumber()] = entry;
        } else {
            noteMap[reader.GetNumber()] = entry;
        }
        ++applied;
    }
    reader.Close();
    return applied;
}
