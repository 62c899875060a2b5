// The readers take file names, as the plug-in gives them, so each fuzz input
// goes to a file of its own process's scratch folder first. The folder lies
// in memory (/dev/shm) unless TMPDIR names another place: rewriting a file
// on a disk file system, ext4 flushes it to the disk at every close, which
// made the file fuzzers wait on the disk for most of their time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

inline const std::string& FuzzFolder()
{
    // Never destroyed, so the exit handler that removes the folder can still
    // read its name.
    static const std::string* pFolder = [] {
        const char* pBase = std::getenv("TMPDIR");
        if (!pBase || !pBase[0]) pBase = access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(pBase) + "/tarvo-fuzz-XXXXXX";
        if (!mkdtemp(&pattern[0])) std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(FuzzFolder(), ignored);
        });
        return new std::string(pattern);
    }();
    return *pFolder;
}

inline std::string WriteFuzzFile(const char* pName, const uint8_t* pData, size_t size)
{
    const std::string path = FuzzFolder() + "/" + pName;
    FILE* pFile = std::fopen(path.c_str(), "wb");
    if (!pFile) std::abort();
    if (size && std::fwrite(pData, 1, size, pFile) != size) std::abort();
    std::fclose(pFile);
    return path;
}

// Invariants are checked with abort() so that they hold in release builds
// too and libFuzzer records the input.
#define FUZZ_CHECK(condition)                                       \
    do {                                                            \
        if (!(condition)) {                                         \
            std::fprintf(stderr, "check failed: %s\n", #condition); \
            std::abort();                                           \
        }                                                           \
    } while (0)
