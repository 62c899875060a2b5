// The synthesiser side of a render: a second loaded plug-in, an instrument,
// that is handed the MIDI another plug-in sent during each block and
// processes the same block; its output goes to the WAV file.
//
// Phases in order: Prepare, Open, RenderBlock for every block of the run,
// RenderTail, Close. The synthesiser gets the events of a block sorted by
// deltaFrames and within the block (hosts deliver them so), the transport
// the other plug-in saw for that block, and single-precision processing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "session/HostSession.h"
#include "session/HostTransport.h"
#include "RenderOptions.h"

class WavFileWriter;

class SynthRenderer {
public:
    SynthRenderer(HostSession* session, const RenderOptions& options);
    virtual ~SynthRenderer() {}

    // Checks that the loaded plug-in is an instrument that can process,
    // reads --synth-chunk and sets up the transport. False with *error.
    bool Prepare(std::string* error);
    // effOpen, the run's sample rate, the largest block size of the run,
    // effMainsChanged 1, the chunk and the parameters.
    void Open();
    // One block of that many frames starting at `transport`, with these
    // events (the other plug-in's, as recorded by the host); its output is
    // appended to the file.
    bool RenderBlock(const ReceivedMidiEvent* events, size_t count, const HostTransport& transport, int frames,
                     WavFileWriter* wav, std::string* error);
    // The tail: these last events and a note-off for every note still on,
    // then that many frames in blocks of blockFrames, the transport going
    // on from `transport`.
    bool RenderTail(const ReceivedMidiEvent* events, size_t count, const HostTransport& transport, int64_t frames,
                    int blockFrames, WavFileWriter* wav, std::string* error);
    // effMainsChanged 0 and effClose.
    void Close();

    double OutputPeak() const { return mpSession->OutputPeak(); }

private:
    void CollectEvents(const ReceivedMidiEvent* events, size_t count, int frames);
    void AddNoteOffsForSoundingNotes();
    void TrackNote(uint8_t status, uint8_t note, uint8_t velocity);
    bool ProcessAndWrite(int frames, WavFileWriter* wav, std::string* error);

    HostSession* mpSession;
    const RenderOptions& mOptions;
    std::vector<uint8_t> mChunk;
    std::vector<VstMidiEvent> mEvents;
    // Note-ons not yet ended, per channel and note.
    std::vector<int> mSounding;
    std::vector<float> mLeft;
    std::vector<float> mRight;
};

// Whether a loaded effect is an instrument: flagged as a synth or in the
// synth category.
bool IsInstrument(HostSession* session);
