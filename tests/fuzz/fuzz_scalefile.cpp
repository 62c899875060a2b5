// Scale files: any bytes must give at most 17 values of at most 8 digits and
// terminated path and name texts.
#include <cstring>
#include <string>

#include "FuzzFile.h"
#include "ScaleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    const std::string path = WriteFuzzFile("fuzzed.scale", pData, size);
    ScaleFile scale;
    FUZZ_CHECK(scale.Load(path.c_str()));
    FUZZ_CHECK(scale.mCount >= 0 && scale.mCount <= ScaleFile::MAX_VALUES);
    for (int i = 0; i < ScaleFile::MAX_VALUES; ++i) {
        FUZZ_CHECK(scale.mValues[i] >= 0 && scale.mValues[i] <= 99999999);
        if (i >= scale.mCount) FUZZ_CHECK(scale.mValues[i] == 0);
    }
    FUZZ_CHECK(std::strcmp(scale.mName, "fuzzed") == 0);
    FUZZ_CHECK(std::memchr(scale.mLineText, '\0', sizeof(scale.mLineText)) != nullptr);

    // The same bytes as a path (never opened: it lies in no existing folder).
    std::string fuzzedPath = "/nonexistent-tarvo-fuzz/" + std::string(reinterpret_cast<const char*>(pData), size);
    fuzzedPath.resize(strnlen(fuzzedPath.c_str(), fuzzedPath.size()));
    ScaleFile named;
    named.Load(fuzzedPath.c_str());
    FUZZ_CHECK(std::strlen(named.mPath) <= ScaleFile::PATH_LENGTH);
    FUZZ_CHECK(std::strlen(named.mName) <= std::strlen(named.mPath));
    FUZZ_CHECK(named.mCount == 0);
    return 0;
}
