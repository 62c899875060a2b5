// The configuration file: any bytes as "Tarvo3.ini" beside a module, and as
// the module's own file name, must leave every item within its buffers.
#include <cstring>
#include <string>

#include "Configurable.h"
#include "ConfigurationFileReader.h"
#include "FuzzFile.h"
#include "HomeDirectory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    WriteFuzzFile("Tarvo3.ini", pData, size);
    HomeDirectory home(FuzzFolder().c_str());
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
    const std::string moduleName(reinterpret_cast<const char*>(pData),
                                 strnlen(reinterpret_cast<const char*>(pData), size));
    char folder[HomeDirectory::PATH_LENGTH + 1];
    if (!HomeDirectory::FolderOfModule(moduleName.c_str(), folder, sizeof folder)) FUZZ_CHECK(folder[0] == '\0');
    FUZZ_CHECK(std::strlen(folder) <= HomeDirectory::PATH_LENGTH);
    HomeDirectory fuzzedHome(folder);
    const char* pPath = fuzzedHome.MakeHomePath("Tarvo3.ini");
    FUZZ_CHECK(std::strlen(pPath) <= HomeDirectory::PATH_LENGTH);
    if (pPath[0]) FUZZ_CHECK(std::strcmp(pPath + std::strlen(pPath) - 10, "Tarvo3.ini") == 0);
    return 0;
}
