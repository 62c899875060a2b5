#include "ValidateReport.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "session/JsonWriter.h"

namespace {
ValidateReport* gReport = nullptr;
// The line printed should the process die in the running check; made
// before the check starts, as a crash handler may not allocate.
char gCrashLine[512] = "";

const char* StatusWord(ECheckStatus status)
{
    switch (status) {
    case ECheckStatus_Pass:
        return "PASS";
    case ECheckStatus_Fail:
        return "FAIL";
    case ECheckStatus_Skip:
        return "SKIP";
    }
    return "?";
}

void ReportCrash(const char* what)
{
    if (!gReport) {
        std::fprintf(stdout, "%s (%s)\n", gCrashLine[0] ? gCrashLine : "FAIL validate", what);
    } else {
        size_t length = std::strlen(gCrashLine);
        std::string name = length > 5 ? std::string(gCrashLine + 5) : std::string("validate");
        size_t end = name.find(' ');
        if (end != std::string::npos) name.resize(end);
        gReport->Add(ECheckStatus_Fail, name, "", std::string("the plug-in crashed the host: ") + what);
        gReport->PrintSummary();
        gReport->WriteJson();
    }
    std::fflush(stdout);
    std::_Exit(1);
}

void OnSignal(int signal)
{
    const char* what = signal == SIGSEGV   ? "segmentation fault"
                       : signal == SIGABRT ? "abort"
                       : signal == SIGFPE  ? "arithmetic exception"
                       : signal == SIGILL  ? "illegal instruction"
                                           : "fatal signal";
    ReportCrash(what);
}

void OnTerminate() { ReportCrash("an exception crossed an entry point and terminated the host"); }
}  // namespace

ValidateReport::ValidateReport()
{
    gReport = this;
    std::signal(SIGSEGV, OnSignal);
    std::signal(SIGABRT, OnSignal);
    std::signal(SIGFPE, OnSignal);
    std::signal(SIGILL, OnSignal);
    std::set_terminate(OnTerminate);
}

ValidateReport::~ValidateReport()
{
    if (gReport == this) gReport = nullptr;
}

void ValidateReport::Begin(const std::string& name)
{
    std::snprintf(gCrashLine, sizeof(gCrashLine), "FAIL %s", name.c_str());
}

void ValidateReport::Add(ECheckStatus status, const std::string& name, const std::string& figure,
                         const std::string& detail)
{
    gCrashLine[0] = '\0';
    mResults.push_back(CheckResult{status, name, figure, detail});
    std::string line = std::string(StatusWord(status)) + " " + name;
    if (!figure.empty()) line += "  " + figure;
    if (!detail.empty()) line += "  (" + detail + ")";
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void ValidateReport::Pass(const std::string& name, const std::string& figure, const std::string& detail)
{
    Add(ECheckStatus_Pass, name, figure, detail);
}

void ValidateReport::Fail(const std::string& name, const std::string& detail, const std::string& figure)
{
    Add(ECheckStatus_Fail, name, figure, detail);
}

void ValidateReport::Skip(const std::string& name, const std::string& detail)
{
    Add(ECheckStatus_Skip, name, "", detail);
}

void ValidateReport::Verdict(const std::string& name, const std::vector<std::string>& failures,
                             const std::string& figure, const std::string& detail)
{
    if (failures.empty()) {
        Pass(name, figure, detail);
        return;
    }
    std::string text;
    const size_t SHOWN = 3;
    for (size_t i = 0; i < failures.size() && i < SHOWN; ++i) text += (i ? "; " : "") + failures[i];
    if (failures.size() > SHOWN) text += "; and " + std::to_string(failures.size() - SHOWN) + " more";
    Fail(name, text, figure);
}

bool ValidateReport::AnyFailed() const
{
    for (const CheckResult& result : mResults) {
        if (result.status == ECheckStatus_Fail) return true;
    }
    return false;
}

void ValidateReport::SetJsonPath(const std::string& path, const std::string& plugin)
{
    mJsonPath = path;
    mPlugin = plugin;
}

bool ValidateReport::WriteJson() const
{
    if (mJsonPath.empty()) return true;
    JsonWriter json;
    json.BeginObject();
    json.Key("plugin");
    json.String(mPlugin);
    json.Key("passed");
    json.Boolean(!AnyFailed());
    json.Key("checks");
    json.BeginArray();
    for (const CheckResult& result : mResults) {
        json.BeginObject(true);
        json.Key("name");
        json.String(result.name);
        json.Key("status");
        json.String(StatusWord(result.status));
        json.Key("figure");
        json.String(result.figure);
        json.Key("detail");
        json.String(result.detail);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    FILE* file = std::fopen(mJsonPath.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(json.Text().data(), 1, json.Text().size(), file) == json.Text().size();
    return std::fclose(file) == 0 && ok;
}

void ValidateReport::PrintSummary() const
{
    int counts[3] = {0, 0, 0};
    for (const CheckResult& result : mResults) ++counts[result.status];
    std::printf("checks: passed %d, failed %d, skipped %d\n", counts[ECheckStatus_Pass], counts[ECheckStatus_Fail],
                counts[ECheckStatus_Skip]);
    std::fflush(stdout);
}
