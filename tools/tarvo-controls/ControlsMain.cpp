// tarvo-controls: every control of the Tarvo3 editor with the host
// parameter behind it, read from the processor's own parameter table, as
// tab-separated lines for the guide's controls table:
//
//   KEY  SECTION  LABEL  WHERE  CONTROL  INDEX  RANGE  DEFAULT
//
// KEY is the host's parameter name (INDEX 0..100) or "editor:..." for a
// control without a host parameter (INDEX -1, RANGE and DEFAULT empty).
// Every host parameter appears, also one missing from the table of
// controls (its SECTION then reads "?"), so that a check sees the gap.
//
//   tarvo-controls            the table on standard output
//
// Exit status: 0.
#include <cstdio>
#include <cstring>
#include <string>

#include "ControlTable.h"
#include "Tarvo.h"
#include "framework/plugin/IPlugParam.h"
#include "framework/plugin/VstInterface.h"

namespace {

VstIntPtr VSTCALLBACK HostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::string Display(const IPlugParam& param, double value)
{
    char text[IPlugParam::MAX_DISPLAY_TEXT_LEN + 16];
    param.FormatValue(value, false, text);
    return text;
}

// The values a musician can set, as the editor shows them.
std::string Range(const IPlugParam& param, const char* control)
{
    if (std::strcmp(control, "button") == 0) return "press";
    if (std::strcmp(control, "selector") == 0) return "scale slot 1, 2, 3 or 4";
    switch (param.Kind()) {
    case ParamKind_Bool:
        return "off, on";
    case ParamKind_Enum: {
        int count = static_cast<int>(param.Max() - param.Min()) + 1;
        if (count > 16) return Display(param, param.Min()) + " to " + Display(param, param.Max());
        std::string all;
        for (int value = static_cast<int>(param.Min()); value <= static_cast<int>(param.Max()); ++value) {
            if (!all.empty()) all += ", ";
            all += Display(param, value);
        }
        return all;
    }
    default:
        return Display(param, param.Min()) + " to " + Display(param, param.Max());
    }
}

const ControlEntry* FindEntry(const char* key)
{
    for (int i = 0; i < CONTROL_TABLE_SIZE; ++i) {
        if (std::strcmp(CONTROL_TABLE[i].mKey, key) == 0) return &CONTROL_TABLE[i];
    }
    return nullptr;
}

}  // namespace

int main()
{
    // A fresh instance without configuration: the defaults every host sees.
    Tarvo* pPlug = new Tarvo(HostCallback, "");
    pPlug->EnsureDefaultPreset();
    AEffect* pEffect = pPlug->GetAEffect();
    pEffect->dispatcher(pEffect, effOpen, 0, 0, nullptr, 0.0f);

    for (int i = 0; i < CONTROL_TABLE_SIZE; ++i) {
        const ControlEntry& entry = CONTROL_TABLE[i];
        int index = -1;
        for (int p = 0; p < pPlug->NDeclaredParams(); ++p) {
            if (std::strcmp(pPlug->GetParam(p)->Name(), entry.mKey) == 0) index = p;
        }
        std::string range, defaultText;
        if (index >= 0) {
            const IPlugParam& param = *pPlug->GetParam(index);
            range = Range(param, entry.mControl);
            defaultText = std::strcmp(entry.mControl, "button") == 0 ? "" : Display(param, param.Value());
            if (std::strcmp(entry.mControl, "selector") == 0) {
                defaultText = "slot " + std::to_string(static_cast<int>(3.0 * param.Value() + 0.1) + 1);
            }
        }
        std::printf("%s\t%s\t%s\t%s\t%s\t%d\t%s\t%s\n", entry.mKey, entry.mSection, entry.mLabel, entry.mWhere,
                    entry.mControl, index, range.c_str(), defaultText.c_str());
    }
    // Host parameters the table does not place.
    for (int p = 0; p < pPlug->NDeclaredParams(); ++p) {
        const char* name = pPlug->GetParam(p)->Name();
        if (!FindEntry(name)) std::printf("%s\t?\t\t\t?\t%d\t\t\n", name, p);
    }
    pEffect->dispatcher(pEffect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
