#include "WavFileWriter.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "HostText.h"

namespace {
const int CHANNELS = 2;
const uint16_t FORMAT_PCM = 1;
const uint16_t FORMAT_IEEE_FLOAT = 3;
// RIFF sizes are 32-bit: the whole file, less the first 8 bytes, must fit.
const uint64_t MAX_RIFF_BYTES = 0xFFFFFFFFull;
const double PCM24_FULL_SCALE = 8388607.0;

void PutU16(std::vector<uint8_t>* out, uint32_t value)
{
    out->push_back(uint8_t(value));
    out->push_back(uint8_t(value >> 8));
}

void PutU32(std::vector<uint8_t>* out, uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>* out, const char* tag) { out->insert(out->end(), tag, tag + 4); }

int BytesPerSample(EWavFormat format) { return format == EWavFormat_Float32 ? 4 : 3; }

// Header bytes before the samples: RIFF, fmt (18 bytes with its extension
// size for float, as non-PCM formats require, plus a fact chunk), data.
uint32_t HeaderBytes(EWavFormat format) { return format == EWavFormat_Float32 ? 12 + 26 + 12 + 8 : 12 + 24 + 8; }

void PutSample(std::vector<uint8_t>* out, float sample, EWavFormat format)
{
    if (!std::isfinite(sample)) sample = 0.0f;
    if (format == EWavFormat_Float32) {
        uint32_t bits = 0;
        std::memcpy(&bits, &sample, sizeof(bits));
        PutU32(out, bits);
        return;
    }
    double clipped = sample > 1.0f ? 1.0 : sample < -1.0f ? -1.0 : double(sample);
    int32_t value = int32_t(std::lround(clipped * PCM24_FULL_SCALE));
    uint32_t bits = uint32_t(value);
    out->push_back(uint8_t(bits));
    out->push_back(uint8_t(bits >> 8));
    out->push_back(uint8_t(bits >> 16));
}
}  // namespace

WavFileWriter::~WavFileWriter() { Discard(); }

bool WavFileWriter::Open(const std::string& path, double sampleRate, EWavFormat format, std::string* error)
{
    Discard();
    double rate = std::floor(sampleRate + 0.5);
    if (!(rate >= 1.0 && rate <= 4294967295.0)) {
        *error = "a WAV file cannot hold the sample rate " + std::to_string(sampleRate);
        return false;
    }
    mPath = path;
    mSampleRate = uint32_t(rate);
    mFormat = format;
    mFrames = 0;
    mPeak = 0.0;
    mOverSamples = 0;
    std::string temporary = TemporaryPath(path);
    mpFile = std::fopen(temporary.c_str(), "wb");
    if (!mpFile) {
        *error = "cannot create '" + temporary + "': " + std::strerror(errno);
        return false;
    }
    if (!WriteHeader(0)) {
        *error = "cannot write '" + temporary + "'";
        Discard();
        return false;
    }
    return true;
}

bool WavFileWriter::WriteHeader(uint32_t dataBytes)
{
    const uint32_t sampleBytes = uint32_t(BytesPerSample(mFormat));
    std::vector<uint8_t> header;
    PutTag(&header, "RIFF");
    PutU32(&header, HeaderBytes(mFormat) - 8 + dataBytes);
    PutTag(&header, "WAVE");
    PutTag(&header, "fmt ");
    PutU32(&header, mFormat == EWavFormat_Float32 ? 18 : 16);
    PutU16(&header, mFormat == EWavFormat_Float32 ? FORMAT_IEEE_FLOAT : FORMAT_PCM);
    PutU16(&header, CHANNELS);
    PutU32(&header, mSampleRate);
    PutU32(&header, mSampleRate * CHANNELS * sampleBytes);
    PutU16(&header, CHANNELS * sampleBytes);
    PutU16(&header, sampleBytes * 8);
    if (mFormat == EWavFormat_Float32) {
        PutU16(&header, 0);
        PutTag(&header, "fact");
        PutU32(&header, 4);
        PutU32(&header, dataBytes / (CHANNELS * sampleBytes));
    }
    PutTag(&header, "data");
    PutU32(&header, dataBytes);
    return std::fseek(mpFile, 0, SEEK_SET) == 0 &&
           std::fwrite(header.data(), 1, header.size(), mpFile) == header.size();
}

int64_t WavFileWriter::MaxFrames(EWavFormat format)
{
    const uint64_t frameBytes = uint64_t(CHANNELS * BytesPerSample(format));
    return int64_t((MAX_RIFF_BYTES - (HeaderBytes(format) - 8)) / frameBytes);
}

bool WavFileWriter::Append(const float* left, const float* right, int frames, std::string* error)
{
    if (!mpFile) {
        *error = "no WAV file is open";
        return false;
    }
    if (frames <= 0) return true;
    if (mFrames + frames > MaxFrames(mFormat)) {
        *error = "the render is longer than a WAV file can hold (4 GB)";
        return false;
    }
    mBytes.clear();
    for (int i = 0; i < frames; ++i) {
        for (float sample : {left[i], right[i]}) {
            PutSample(&mBytes, sample, mFormat);
            if (!std::isfinite(sample)) continue;
            const double magnitude = std::fabs(double(sample));
            if (magnitude > mPeak) mPeak = magnitude;
            if (magnitude > 1.0) ++mOverSamples;
        }
    }
    if (std::fwrite(mBytes.data(), 1, mBytes.size(), mpFile) != mBytes.size()) {
        *error = "cannot write '" + TemporaryPath(mPath) + "': " + std::strerror(errno);
        return false;
    }
    mFrames += frames;
    return true;
}

bool WavFileWriter::Commit(std::string* error)
{
    std::string temporary = TemporaryPath(mPath);
    if (!mpFile) {
        *error = "no WAV file is open";
        return false;
    }
    uint32_t dataBytes = uint32_t(uint64_t(mFrames) * CHANNELS * BytesPerSample(mFormat));
    bool ok = WriteHeader(dataBytes);
    if (std::fclose(mpFile) != 0) ok = false;
    mpFile = nullptr;
    if (!ok) {
        *error = "cannot write '" + temporary + "'";
        std::remove(temporary.c_str());
        return false;
    }
    if (!ReplaceFile(temporary, mPath, error)) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void WavFileWriter::Discard()
{
    if (!mpFile) return;
    std::fclose(mpFile);
    mpFile = nullptr;
    std::remove(TemporaryPath(mPath).c_str());
}
