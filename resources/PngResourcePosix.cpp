#include "resources/PngResource.h"

#include "resources/PngResourceTable.h"

bool FindPngResource(int id, const unsigned char** ppData, size_t* pSize)
{
    if (!ppData || !pSize) {
        return false;
    }
    for (size_t i = 0; i < NUM_PNG_RESOURCES; ++i) {
        if (PNG_RESOURCES[i].id == id) {
            *ppData = PNG_RESOURCES[i].data;
            *pSize = PNG_RESOURCES[i].size;
            return true;
        }
    }
    return false;
}
