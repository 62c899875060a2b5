// The plug-in base and the VST 2 adapter seen from a host: presets, the
// parameter chunk, the host table, dispatcher answers.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "framework/plugin/IPlugVST.h"

namespace {

// A plug-in of two parameters that records its change notices.
class TestPlug : public IPlugVST {
public:
    TestPlug(int nPresets, audioMasterCallback callback = nullptr)
        : IPlugVST(callback, 2, "1-1 2-2", nPresets, "Test", "Product", "Maker", 0x00010203, 0x41626364, 0x4D667278, 0,
                   true, true, true)
    {
        GetParam(0)->DefineDouble("Gain", 0.5, 0.0, 1.0, 0.01);
        GetParam(1)->DefineInt("Count", 3, 0, 10);
    }
    void OnParamChanged(int paramIdx) override
    {
        mChanged.push_back(paramIdx);
        mRestoring.push_back(IsRestoringParams());
    }
    std::vector<int> mChanged;
    std::vector<bool> mRestoring;
};

std::vector<std::string> gHostText;

VstIntPtr VSTCALLBACK ProductHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    if (opcode == audioMasterGetProductString) {
        std::strcpy(static_cast<char*>(ptr), gHostText.empty() ? "" : gHostText[0].c_str());
        return 1;
    }
    if (opcode == audioMasterGetVendorVersion) return 30102;
    return 0;
}

}  // namespace

TEST(IPlugBase, ParameterChunksAreRestoredWholeOrNotAtAll)
{
    TestPlug plug(0);
    StateChunk chunk;
    chunk.PutDouble(0.25);  // only the first of two values
    plug.GetParam(1)->SetValue(7);
    plug.mChanged.clear();
    EXPECT_EQ(plug.UnserializeParams(&chunk, 0), -1);
    EXPECT_EQ(plug.GetParam(0)->Value(), 0.5);
    EXPECT_EQ(plug.GetParam(1)->Value(), 7.0);
    EXPECT_TRUE(plug.mChanged.empty());

    StateChunk full;
    full.PutDouble(2.0);  // clamped into the range, not rounded
    full.PutDouble(4.4);
    EXPECT_EQ(plug.UnserializeParams(&full, 0), 16);
    EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);
    EXPECT_EQ(plug.GetParam(1)->Value(), 4.4);
    // Every parameter is dispatched, as restored values, not as changes.
    EXPECT_EQ(plug.mChanged, (std::vector<int>{0, 1}));
    EXPECT_EQ(plug.mRestoring, (std::vector<bool>{true, true}));
    EXPECT_FALSE(plug.IsRestoringParams());
}

TEST(IPlugBase, PresetSlots)
{
    TestPlug six(6);
    six.EnsureDefaultPreset();
    EXPECT_EQ(six.NPresets(), 6);
    EXPECT_STREQ(six.PresetName(0), "- 1 -");
    EXPECT_STREQ(six.PresetName(5), "- 6 -");
    EXPECT_STREQ(six.PresetName(6), "");

    TestPlug none(0);
    none.EnsureDefaultPreset();
    ASSERT_EQ(none.NPresets(), 1);
    EXPECT_STREQ(none.PresetName(0), "Default");

    // Selecting an uninitialised slot names it and stores the values, and
    // never changes them.
    six.GetParam(0)->SetValue(0.75);
    EXPECT_TRUE(six.SelectPreset(2));
    EXPECT_STREQ(six.PresetName(2), "user preset 1");
    EXPECT_EQ(six.GetParam(0)->Value(), 0.75);
    EXPECT_TRUE(six.SelectPreset(4));
    EXPECT_STREQ(six.PresetName(4), "user preset 2");
    six.GetParam(0)->SetValue(0.1);
    EXPECT_TRUE(six.SelectPreset(2));  // initialised: its values come back
    EXPECT_EQ(six.GetParam(0)->Value(), 0.75);
    EXPECT_EQ(six.CurrentPreset(), 2);
    EXPECT_FALSE(six.SelectPreset(9));
}

TEST(IPlugBase, HostTableTakesTheFirstMatchIgnoringCase)
{
    EXPECT_EQ(IPlugBase::LookUpHost("REAPER x64"), kHostReaper);
    EXPECT_EQ(IPlugBase::LookUpHost("LIVE"), kHostAbletonLive);
    EXPECT_EQ(IPlugBase::LookUpHost("cubase live"), kHostCubase);
    EXPECT_EQ(IPlugBase::LookUpHost(""), kHostUnknown);

    gHostText = {"Reaper"};
    TestPlug plug(0, ProductHost);
    EXPECT_EQ(plug.GetHostId(), kHostReaper);
    EXPECT_EQ(plug.GetHostVersion(), 0x030102);
    gHostText = {""};
    TestPlug unknown(0, ProductHost);
    EXPECT_EQ(unknown.GetHostId(), kHostUnknown);
    EXPECT_EQ(unknown.GetHostVersion(), 0);
}

TEST(IPlugVST, IdentityAndDispatcherAnswers)
{
    TestPlug* pPlug = new TestPlug(6);
    AEffect* pEffect = pPlug->GetAEffect();
    EXPECT_EQ(pEffect->magic, kEffectMagic);
    EXPECT_EQ(pEffect->version, 10203);
    EXPECT_EQ(pEffect->flags, 0x1138);
    EXPECT_EQ(pEffect->numInputs, 2);
    EXPECT_EQ(pEffect->numOutputs, 2);
    EXPECT_EQ(pPlug->LegalIO(2, -1), true);
    EXPECT_EQ(pPlug->LegalIO(3, 3), false);

    auto dispatch = [pEffect](VstInt32 op, VstInt32 index, VstIntPtr value, void* ptr) {
        return pEffect->dispatcher(pEffect, op, index, value, ptr, 0.0f);
    };
    EXPECT_EQ(dispatch(effGetVstVersion, 0, 0, nullptr), 2400);
    EXPECT_EQ(dispatch(effGetPlugCategory, 0, 0, nullptr), kPlugCategSynth);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 1);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, const_cast<char*>("hasCockosExtensions")), static_cast<VstIntPtr>(0xBEEF0000));
    EXPECT_EQ(pPlug->HostExtensionFlags(), 1);
    EXPECT_EQ(dispatch(effCanDo, 0, 0, const_cast<char*>("somethingElse")), 0);
    EXPECT_EQ(dispatch(12345, 0, 0, nullptr), 0);

    VstPinProperties pin;
    std::memset(&pin, 0, sizeof pin);
    EXPECT_EQ(dispatch(effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_STREQ(pin.label, "Input 1");
    EXPECT_EQ(dispatch(effGetInputProperties, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, kVstPinIsActive);
    EXPECT_EQ(dispatch(effGetOutputProperties, 2, 0, &pin), 0);

    char text[256] = "untouched";
    EXPECT_EQ(dispatch(effVendorSpecific, 7, 99, text), 0xBEEF);
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 5, 0, text), 1);
    EXPECT_STREQ(text, "- 6 -");
    EXPECT_EQ(dispatch(effGetProgramNameIndexed, 6, 0, text), 0);
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, text), 0);  // no editor attached
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0);
    pEffect->setParameter(pEffect, 1, 0.5f);
    dispatch(effGetParamDisplay, 1, 0, text);
    EXPECT_STREQ(text, "5");
    EXPECT_EQ(pEffect->getParameter(pEffect, 1), 0.5f);
    EXPECT_EQ(pEffect->getParameter(pEffect, 7), 0.0f);
    pEffect->setParameter(pEffect, 7, 0.5f);  // ignored
    dispatch(effClose, 0, 0, nullptr);
}

TEST(IPlugVST, ChunkWithoutHeaderIsReadFromTheStartAndStoredInThePreset)
{
    TestPlug* pPlug = new TestPlug(2);
    AEffect* pEffect = pPlug->GetAEffect();
    ASSERT_TRUE(pPlug->SelectPreset(0));  // an initialised slot to store into
    std::vector<unsigned char> chunk(16);
    double values[2] = {0.125, 6.0};
    std::memcpy(chunk.data(), values, 16);
    EXPECT_EQ(pEffect->dispatcher(pEffect, effSetChunk, 0, 16, chunk.data(), 0.0f), 1);
    EXPECT_EQ(pPlug->GetParam(0)->Value(), 0.125);
    EXPECT_EQ(pPlug->GetParam(1)->Value(), 6.0);
    pPlug->GetParam(0)->SetValue(0.9);
    pPlug->SelectPreset(0);  // the preset holds what the chunk brought
    EXPECT_EQ(pPlug->GetParam(0)->Value(), 0.125);

    void* pData = nullptr;
    VstIntPtr size = pEffect->dispatcher(pEffect, effGetChunk, 0, 0, &pData, 0.0f);
    ASSERT_EQ(size, 24);
    const unsigned char* bytes = static_cast<const unsigned char*>(pData);
    EXPECT_EQ(bytes[0], 0x74);
    EXPECT_EQ(bytes[7], 0x00);
    EXPECT_EQ(bytes[6], 0x01);

    // Hostile sizes are refused.
    EXPECT_EQ(pEffect->dispatcher(pEffect, effSetChunk, 0, -5, chunk.data(), 0.0f), 0);
    EXPECT_EQ(pEffect->dispatcher(pEffect, effSetChunk, 0, 16, nullptr, 0.0f), 0);
    pEffect->dispatcher(pEffect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(IPlugVST, SysExIsSentBackToTheHostUnchanged)
{
    static std::vector<VstEvent*> returned;
    struct Host {
        static VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
        {
            if (opcode == audioMasterProcessEvents) {
                VstEvents* pEvents = static_cast<VstEvents*>(ptr);
                for (int i = 0; i < pEvents->numEvents; ++i) returned.push_back(pEvents->events[i]);
                return 1;
            }
            return 0;
        }
    };
    TestPlug* pPlug = new TestPlug(0, Host::Callback);
    AEffect* pEffect = pPlug->GetAEffect();
    VstEvent sysex;
    std::memset(&sysex, 0, sizeof sysex);
    sysex.type = kVstSysExType;
    struct {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[3];
    } list = {3, 0, {nullptr, &sysex, nullptr}};
    EXPECT_EQ(pEffect->dispatcher(pEffect, effProcessEvents, 0, 0, &list, 0.0f), 1);
    ASSERT_EQ(returned.size(), 1u);
    EXPECT_EQ(returned[0], &sysex);
    pEffect->dispatcher(pEffect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(IPlugVST, SpeakerArrangementsConnectTheFirstChannels)
{
    TestPlug* pPlug = new TestPlug(0);
    AEffect* pEffect = pPlug->GetAEffect();
    VstSpeakerArrangement input, output;
    std::memset(&input, 0, sizeof input);
    std::memset(&output, 0, sizeof output);
    auto arrange = [&](int inputs, int outputs) {
        input.numChannels = inputs;
        output.numChannels = outputs;
        return pEffect->dispatcher(pEffect, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output,
                                   0.0f);
    };
    EXPECT_EQ(arrange(1, 0), 1);
    EXPECT_TRUE(pPlug->IsInChannelConnected(0));
    EXPECT_FALSE(pPlug->IsInChannelConnected(1));
    EXPECT_FALSE(pPlug->IsOutChannelConnected(0));
    // Counts a broken host may send: the whole int range, kept to the channels.
    arrange(INT_MIN, INT_MAX);
    EXPECT_FALSE(pPlug->IsInChannelConnected(0));
    EXPECT_TRUE(pPlug->IsOutChannelConnected(0));
    EXPECT_TRUE(pPlug->IsOutChannelConnected(1));
    arrange(INT_MAX, INT_MIN);
    EXPECT_TRUE(pPlug->IsInChannelConnected(1));
    EXPECT_FALSE(pPlug->IsOutChannelConnected(1));
    pEffect->dispatcher(pEffect, effClose, 0, 0, nullptr, 0.0f);
}

TEST(IPlugVST, NormalisedValuesFromTheHostAreKeptInRange)
{
    TestPlug* pPlug = new TestPlug(0);
    AEffect* pEffect = pPlug->GetAEffect();
    pEffect->setParameter(pEffect, 1, -3.0f);
    EXPECT_EQ(pPlug->GetParam(1)->Value(), 0.0);
    pEffect->setParameter(pEffect, 1, 7.0f);
    EXPECT_EQ(pPlug->GetParam(1)->Value(), 10.0);
    pEffect->setParameter(pEffect, 1, std::nanf(""));
    EXPECT_EQ(pPlug->GetParam(1)->Value(), 10.0);
    pEffect->dispatcher(pEffect, effClose, 0, 0, nullptr, 0.0f);
}
