// The configuration file: any bytes as "Tarvo3.ini" beside a module, and as
// the module's own file name, must leave every item within its buffers.
#include <cstring>
#include <string>

#include "Configurable.h"
#include "ConfigurationFileReader.h"
#include "FuzzFile.h"
#include "HomeDirectory.h"

namespace {

class FuzzHomeDirectory : public HomeDirectory {
public:
    FuzzHomeDirectory(const char* pModule, size_t length) : mpModule(pModule), mLength(length) {}

protected:
    bool LookUpModuleFileName(char* pOut, size_t size) override
    {
        if (mLength >= size) return false;
        std::memcpy(pOut, mpModule, mLength);
        pOut[mLength] = '\0';
        return true;
    }

private:
    const char* mpModule;
    size_t mLength;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    WriteFuzzFile("Tarvo3.ini", pData, size);
    const std::string module = FuzzFolder() + "/Tarvo3.so";
    FuzzHomeDirectory home(module.c_str(), module.size());
    Configuration configuration;
    FUZZ_CHECK(configuration.ReadFromModuleFolder(home));
    for (int i = 0; i < configuration.GetSize(); ++i) {
        const Configurable* pItem = configuration.GetConfigurable(i);
        FUZZ_CHECK(std::strlen(pItem->GetText()) <= ConfigurationFileReader::VALUE_LENGTH);
        FUZZ_CHECK(pItem->GetNumber() == static_cast<int>(pItem->GetNumber()));
    }
    FUZZ_CHECK(configuration.LowestOctave() >= -2 && configuration.LowestOctave() <= 0);
    configuration.SingleClickPalette();

    ConfigurationFileReader reader;
    FUZZ_CHECK(reader.Open((FuzzFolder() + "/Tarvo3.ini").c_str()));
    while (reader.ReadEntry()) {
        FUZZ_CHECK(reader.GetKey()[0] != '\0');
        FUZZ_CHECK(std::strlen(reader.GetKey()) <= ConfigurationFileReader::KEY_LENGTH);
        FUZZ_CHECK(std::strlen(reader.GetValue()) <= ConfigurationFileReader::VALUE_LENGTH);
        FUZZ_CHECK(std::strchr(reader.GetValue(), ';') == nullptr);
        Configuration::ParseInteger(reader.GetValue());
    }

    // The same bytes as a module file name, up to its first NUL.
    const size_t nameLength = strnlen(reinterpret_cast<const char*>(pData), size);
    FuzzHomeDirectory fuzzedHome(reinterpret_cast<const char*>(pData), nameLength);
    const char* pPath = fuzzedHome.MakeHomePath("Tarvo3.ini");
    FUZZ_CHECK(std::strlen(pPath) <= HomeDirectory::PATH_LENGTH);
    if (pPath[0]) FUZZ_CHECK(std::strcmp(pPath + std::strlen(pPath) - 10, "Tarvo3.ini") == 0);
    return 0;
}
