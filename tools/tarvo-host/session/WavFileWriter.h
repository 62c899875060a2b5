// The audio file of a render: RIFF/WAVE, stereo, 24-bit PCM or 32-bit float
// at the run's sample rate, written block by block as the render goes.
//
// The samples go to a temporary file beside the destination ("NAME.part"),
// which takes the destination's name only when the whole render succeeded
// (Commit). A writer that is discarded or destroyed before that removes it,
// so a failed run leaves no partial file behind.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum EWavFormat {
    EWavFormat_Pcm24,
    EWavFormat_Float32
};

class WavFileWriter {
public:
    WavFileWriter() {}
    virtual ~WavFileWriter();
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    // Creates the temporary file and writes a header for no samples yet.
    // False with *error when it cannot be created or the rate does not fit
    // a WAV header.
    bool Open(const std::string& path, double sampleRate, EWavFormat format, std::string* error);
    // Appends that many frames. 24-bit samples are clipped to -1..1; a
    // sample that is not a finite number is written as silence. False with
    // *error when the file cannot take them (disk full, the 4 GB that a WAV
    // file can address).
    bool Append(const float* left, const float* right, int frames, std::string* error);
    int64_t Frames() const { return mFrames; }
    // The largest absolute sample given (finite ones), and how many were
    // over full scale (above 1 in magnitude: clipped in 24-bit PCM, kept in
    // float).
    double Peak() const { return mPeak; }
    int64_t OverSamples() const { return mOverSamples; }
    // Completes the header and gives the file the destination's name.
    bool Commit(std::string* error);
    // Closes and removes the temporary file; nothing is left behind.
    void Discard();

    static std::string TemporaryPath(const std::string& path) { return path + ".part"; }
    // The most frames a WAV file of that format can hold.
    static int64_t MaxFrames(EWavFormat format);

private:
    bool WriteHeader(uint32_t dataBytes);

    FILE* mpFile = nullptr;
    std::string mPath;
    uint32_t mSampleRate = 0;
    EWavFormat mFormat = EWavFormat_Pcm24;
    int64_t mFrames = 0;
    double mPeak = 0.0;
    int64_t mOverSamples = 0;
    std::vector<uint8_t> mBytes;
};
