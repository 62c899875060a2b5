// Instances and their description: loading and closing, identity fields,
// parameter texts and values, programs.
#include <cmath>
#include <cstring>
#include <limits>

#include "ValidateContext.h"

namespace {
const int GUARD_BYTES = 64;
const char FILL = 'Z';

// Asks a text of the plug-in into a buffer of `capacity` bytes followed by a
// guard. An empty string with *problem empty is a text the plug-in did not
// write. *problem tells an overrun or a missing terminator.
std::string QueryText(ValidateHost& host, VstInt32 opcode, VstInt32 index, int capacity, std::string* problem)
{
    problem->clear();
    // First into zeros, as hosts hand them: nothing may land past the end.
    std::vector<char> buffer(size_t(capacity + GUARD_BYTES), 0);
    for (int i = capacity; i < capacity + GUARD_BYTES; ++i) buffer[size_t(i)] = FILL;
    host.Dispatch(opcode, index, 0, buffer.data());
    for (int i = capacity; i < capacity + GUARD_BYTES; ++i) {
        if (buffer[size_t(i)] != FILL) {
            *problem = "wrote past the " + std::to_string(capacity) + "-byte buffer";
            return std::string();
        }
    }
    // Then into a filled buffer: what it writes must end within it.
    std::vector<char> filled(size_t(capacity + GUARD_BYTES), FILL);
    host.Dispatch(opcode, index, 0, filled.data());
    bool written = false;
    for (int i = 0; i < capacity && !written; ++i) written = filled[size_t(i)] != FILL;
    if (!written) return std::string();
    const void* end = std::memchr(filled.data(), 0, size_t(capacity));
    if (!end) {
        *problem = "left its text unterminated in the " + std::to_string(capacity) + "-byte buffer";
        return std::string();
    }
    return std::string(buffer.data(), strnlen(buffer.data(), size_t(capacity)));
}

const char* OpcodeName(VstInt32 opcode)
{
    switch (opcode) {
    case effGetParamName:
        return "name";
    case effGetParamLabel:
        return "label";
    case effGetParamDisplay:
        return "display";
    case effGetEffectName:
        return "effect name";
    case effGetVendorString:
        return "vendor";
    case effGetProductString:
        return "product";
    case effGetProgramNameIndexed:
        return "program name";
    case effGetProgramName:
        return "current program name";
    }
    return "text";
}

void CheckOpenClose(ValidateContext& context)
{
    ValidateReport& report = context.Report();
    const char* names[2] = {"open-close-cold", "open-close-warm"};
    for (int pass = 0; pass < 2; ++pass) {
        report.Begin(names[pass]);
        std::string error;
        double start = NowSeconds();
        std::unique_ptr<ValidateHost> host(new ValidateHost);
        if (!host->LoadFile(context.Options().plugin, &error)) {
            report.Fail(names[pass], error);
            return;
        }
        host->Open();
        // Warm: a second instance beside the first, as a host with two tracks.
        std::unique_ptr<ValidateHost> second;
        if (pass == 1) {
            second.reset(new ValidateHost);
            if (!second->LoadFile(context.Options().plugin, &error)) {
                report.Fail(names[pass], "a second instance: " + error);
                return;
            }
            second->Open();
            second->Close();
        }
        host->Close();
        report.Pass(names[pass], Milliseconds(NowSeconds() - start));
    }
}

void CheckIdentity(ValidateContext& context)
{
    ValidateReport& report = context.Report();
    report.Begin("identity");
    std::string error;
    std::unique_ptr<ValidateHost> host = context.NewInstance(44100.0, 512, &error, false);
    if (!host) {
        report.Fail("identity", error);
        return;
    }
    AEffect* effect = host->Effect();
    std::vector<std::string> failures;
    if (effect->uniqueID == 0) failures.push_back("uniqueID is 0");
    if (!effect->processReplacing) failures.push_back("no processReplacing");
    if ((effect->flags & effFlagsCanDoubleReplacing) && !effect->processDoubleReplacing)
        failures.push_back("claims double precision without processDoubleReplacing");
    if (!effect->getParameter || !effect->setParameter) failures.push_back("no getParameter/setParameter");
    if (effect->initialDelay < 0) failures.push_back("negative initialDelay");
    VstIntPtr version = host->Dispatch(effGetVstVersion);
    if (version != 0 && version < 2000) failures.push_back("effGetVstVersion " + std::to_string(version));
    VstIntPtr category = host->Dispatch(effGetPlugCategory);
    if (category < 0 || category > 12) failures.push_back("category " + std::to_string(category));
    std::string texts;
    const struct {
        VstInt32 opcode;
        int capacity;
    } QUERIES[] = {{effGetEffectName, kVstMaxEffectNameLen},
                   {effGetVendorString, kVstMaxVendorStrLen},
                   {effGetProductString, kVstMaxProductStrLen}};
    for (const auto& query : QUERIES) {
        std::string problem;
        std::string text = QueryText(*host, query.opcode, 0, query.capacity, &problem);
        if (!problem.empty()) failures.push_back(std::string(OpcodeName(query.opcode)) + ": " + problem);
        texts += (texts.empty() ? "" : ", ") + std::string(OpcodeName(query.opcode)) + " '" + text + "'";
    }
    report.Verdict("identity", failures, CheckFigures(),
                   texts + ", " + std::to_string(effect->numParams) + " parameters, " +
                       std::to_string(effect->numPrograms) + " programs, " + std::to_string(effect->numInputs) +
                       " in, " + std::to_string(effect->numOutputs) + " out");
}

void CheckParameterTexts(ValidateContext& context, ValidateHost& host)
{
    ValidateReport& report = context.Report();
    report.Begin("parameter-texts");
    std::vector<std::string> failures;
    size_t longest = 0;
    int count = host.Effect()->numParams;
    for (int i = 0; i < count; ++i) {
        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
            std::string problem;
            std::string text = QueryText(host, opcode, i, PARAM_TEXT_BYTES, &problem);
            if (!problem.empty())
                failures.push_back("parameter " + std::to_string(i) + " " + OpcodeName(opcode) + ": " + problem);
            if (text.size() > longest) longest = text.size();
        }
    }
    report.Verdict("parameter-texts", failures, Count(int64_t(longest), "characters", "longest"),
                   std::to_string(count) + " parameters, " + std::to_string(PARAM_TEXT_BYTES) + "-byte buffers");
}

void CheckParameterValues(ValidateContext& context, ValidateHost& host)
{
    ValidateReport& report = context.Report();
    report.Begin("parameter-values");
    const float VALUES[] = {0.0f,
                            1.0f,
                            0.5f,
                            std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            -1.0f,
                            2.0f,
                            1e30f,
                            -0.0f,
                            std::numeric_limits<float>::denorm_min(),
                            0.25f};
    std::vector<std::string> failures;
    int count = host.Effect()->numParams;
    int64_t calls = 0;
    for (int i = 0; i < count; ++i) {
        for (float value : VALUES) {
            host.SetParameter(i, value);
            ++calls;
            for (int j : {i, context.RandomBetween(0, count - 1)}) {
                float read = host.GetParameter(j);
                if (!(read >= 0.0f && read <= 1.0f))
                    failures.push_back("parameter " + std::to_string(j) + " reads " + std::to_string(read) +
                                       " after parameter " + std::to_string(i) + " was set to " +
                                       std::to_string(value));
            }
            std::string problem;
            QueryText(host, effGetParamDisplay, i, PARAM_TEXT_BYTES, &problem);
            if (!problem.empty()) failures.push_back("parameter " + std::to_string(i) + " display: " + problem);
        }
    }
    report.Verdict("parameter-values", failures, Count(calls, "values set"),
                   "0..1, NaN, infinities and values outside 0..1; every read in 0..1");
}

std::vector<float> ParameterValues(ValidateHost& host)
{
    std::vector<float> values;
    for (int i = 0; i < host.Effect()->numParams; ++i) values.push_back(host.GetParameter(i));
    return values;
}

void CheckPrograms(ValidateContext& context, ValidateHost& host)
{
    ValidateReport& report = context.Report();
    report.Begin("programs");
    int count = host.Effect()->numPrograms;
    std::vector<std::string> failures;
    for (int i = 0; i < count; ++i) {
        std::string problem;
        QueryText(host, effGetProgramNameIndexed, i, kVstMaxProgNameLen, &problem);
        if (!problem.empty()) failures.push_back("program " + std::to_string(i) + " name: " + problem);
        host.Dispatch(effSetProgram, 0, i);
        VstIntPtr current = host.Dispatch(effGetProgram);
        if (current != i)
            failures.push_back("effSetProgram " + std::to_string(i) + " reads back " + std::to_string(current));
        QueryText(host, effGetProgramName, 0, kVstMaxProgNameLen, &problem);
        if (!problem.empty()) failures.push_back("program " + std::to_string(i) + " current name: " + problem);
    }
    // Out of range: ignored or refused, never a crash.
    host.Dispatch(effSetProgram, 0, count);
    host.Dispatch(effSetProgram, 0, -1);
    std::string detail = std::to_string(count) + " programs switched";
    if (count > 1 && (host.Effect()->flags & effFlagsProgramChunks)) {
        // The state of a program that is not the first comes back whole in
        // a fresh instance.
        int chosen = count - 1;
        host.Dispatch(effSetProgram, 0, chosen);
        std::vector<uint8_t> chunk;
        std::string error;
        if (!host.GetChunk(&chunk, &error)) {
            failures.push_back(error);
        } else {
            std::unique_ptr<ValidateHost> fresh = context.NewInstance(44100.0, 512, &error, false);
            if (!fresh) {
                failures.push_back(error);
            } else {
                // Whether the program's number is part of the state is the
                // plug-in's choice; its values are.
                fresh->SetChunk(chunk);
                if (ParameterValues(*fresh) != ParameterValues(host))
                    failures.push_back("the state of program " + std::to_string(chosen) +
                                       " loads with other parameter values");
            }
        }
        detail += ", state round trip of program " + std::to_string(chosen);
    }
    report.Verdict("programs", failures, Count(count, "programs"), detail);
}
}  // namespace

void RunInstanceChecks(ValidateContext& context)
{
    CheckOpenClose(context);
    context.KeepModuleLoaded();
    CheckIdentity(context);
}

void RunParameterChecks(ValidateContext& context)
{
    std::string error;
    context.Report().Begin("parameters");
    std::unique_ptr<ValidateHost> host = context.NewInstance(44100.0, 512, &error, false);
    if (!host) {
        context.Report().Fail("parameters", error);
        return;
    }
    CheckParameterTexts(context, *host);
    CheckParameterValues(context, *host);
    CheckPrograms(context, *host);
}
