#include "InfoCommand.h"

#include <cstdio>

#include "session/HostSession.h"
#include "session/JsonWriter.h"

namespace {
// A plug-in declaring more than this is listed only this far.
const VstInt32 MAX_LISTED_ITEMS = 100000;

const char* const CAN_DO_QUESTIONS[] = {"receiveVstMidiEvent", "sendVstMidiEvent", "receiveVstTimeInfo"};

std::string FourCharacters(VstInt32 code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += char((uint32_t(code) >> shift) & 0xFF);
    return text;
}

std::vector<std::string> ProgramNames(HostSession* session, VstInt32 count)
{
    std::vector<std::string> names;
    bool indexedNames = true;
    for (VstInt32 i = 0; i < count; ++i) {
        char buffer[QUERY_BUFFER_BYTES] = {};
        // value -1: any category.
        VstIntPtr found = session->Dispatch(effGetProgramNameIndexed, i, -1, buffer);
        buffer[sizeof(buffer) - 1] = '\0';
        if (!found && !buffer[0]) {
            indexedNames = false;
            break;
        }
        names.push_back(buffer);
    }
    if (indexedNames) return names;

    // Plug-ins without indexed names: step through the programs as older
    // hosts do, then go back to the one that was current.
    names.clear();
    VstIntPtr current = session->Dispatch(effGetProgram);
    for (VstInt32 i = 0; i < count; ++i) {
        session->Dispatch(effSetProgram, 0, i);
        names.push_back(session->QueryString(effGetProgramName));
    }
    session->Dispatch(effSetProgram, 0, current);
    return names;
}
}  // namespace

std::string DescribePlugin(HostSession* session)
{
    AEffect* effect = session->Effect();
    JsonWriter json;
    json.BeginObject();
    json.Key("name");
    json.String(session->QueryString(effGetEffectName));
    json.Key("vendor");
    json.String(session->QueryString(effGetVendorString));
    json.Key("product");
    json.String(session->QueryString(effGetProductString));
    json.Key("vendorVersion");
    json.Integer(session->Dispatch(effGetVendorVersion));
    json.Key("version");
    json.Integer(effect->version);
    json.Key("uniqueId");
    json.String(FourCharacters(effect->uniqueID));
    char flags[16];
    std::snprintf(flags, sizeof(flags), "0x%x", unsigned(effect->flags));
    json.Key("flags");
    json.String(flags);
    json.Key("numParams");
    json.Integer(effect->numParams);
    json.Key("numPrograms");
    json.Integer(effect->numPrograms);
    json.Key("numInputs");
    json.Integer(effect->numInputs);
    json.Key("numOutputs");
    json.Integer(effect->numOutputs);
    json.Key("initialDelay");
    json.Integer(effect->initialDelay);
    json.Key("category");
    json.Integer(session->Dispatch(effGetPlugCategory));
    json.Key("vstVersion");
    json.Integer(session->Dispatch(effGetVstVersion));

    json.Key("canDo");
    json.BeginObject();
    for (const char* question : CAN_DO_QUESTIONS) {
        // The plug-in gets its own copy: effCanDo takes a non-const pointer.
        std::string text = question;
        json.Key(question);
        json.Integer(session->Dispatch(effCanDo, 0, 0, &text[0]));
    }
    json.EndObject();

    VstInt32 programs = effect->numPrograms < MAX_LISTED_ITEMS ? effect->numPrograms : MAX_LISTED_ITEMS;
    json.Key("programs");
    json.BeginArray();
    for (const std::string& name : ProgramNames(session, programs)) json.String(name);
    json.EndArray();

    VstInt32 params = effect->numParams < MAX_LISTED_ITEMS ? effect->numParams : MAX_LISTED_ITEMS;
    json.Key("params");
    json.BeginArray();
    for (VstInt32 i = 0; i < params; ++i) {
        json.BeginObject(true);
        json.Key("index");
        json.Integer(i);
        json.Key("name");
        json.String(session->QueryString(effGetParamName, i));
        json.Key("label");
        json.String(session->QueryString(effGetParamLabel, i));
        json.Key("display");
        json.String(session->QueryString(effGetParamDisplay, i));
        json.Key("value");
        json.Number(session->GetParameter(i));
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

int InfoCommand::Run(const std::vector<std::string>& args)
{
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        ReportError("usage: tarvo-host info PLUGIN");
        return EExitCode_Usage;
    }
    HostSession session;
    if (!LoadPlugin(&session, args[0])) return EExitCode_Unusable;
    session.Open();
    std::string report = DescribePlugin(&session);
    session.Close();
    PrintReport(report);
    return EExitCode_Success;
}
