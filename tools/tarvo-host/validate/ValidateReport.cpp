#include "ValidateReport.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "session/HostText.h"
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
        gReport->Add(ECheckStatus_Fail, name, CheckFigures(), std::string("the plug-in crashed the host: ") + what);
        gReport->PrintSummary();
        std::string ignored;
        gReport->WriteJson(&ignored);
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

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

std::string FormatValue(const CheckFigure& figure)
{
    if (figure.whole) return std::to_string(int64_t(figure.value));
    return FormatFixed(figure.value, 3);
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

CheckFigure Milliseconds(double seconds, const std::string& name)
{
    CheckFigure figure;
    figure.name = name;
    figure.value = seconds * 1000.0;
    figure.unit = "ms";
    return figure;
}

CheckFigure Count(int64_t count, const std::string& unit, const std::string& name)
{
    CheckFigure figure;
    figure.name = name;
    figure.value = double(count);
    figure.unit = unit;
    figure.whole = true;
    return figure;
}

std::string CheckFigures::Text() const
{
    std::string text;
    for (const CheckFigure& figure : list) {
        if (!text.empty()) text += ", ";
        if (!figure.name.empty()) text += figure.name + " ";
        text += FormatValue(figure) + " " + figure.unit;
    }
    return text;
}

void ValidateReport::Begin(const std::string& name)
{
    std::snprintf(gCrashLine, sizeof(gCrashLine), "FAIL %s", name.c_str());
    mBegun = Now();
}

void ValidateReport::Add(ECheckStatus status, const std::string& name, const CheckFigures& figures,
                         const std::string& detail, bool nothingToCompare)
{
    gCrashLine[0] = '\0';
    double seconds = mBegun > 0.0 ? Now() - mBegun : 0.0;
    mBegun = 0.0;
    mResults.push_back(CheckResult{status, name, figures, detail, seconds, nothingToCompare});
    std::string line = std::string(StatusWord(status)) + " " + name;
    std::string figureText = figures.Text();
    if (!figureText.empty()) line += "  " + figureText;
    if (!detail.empty()) line += "  (" + detail + ")";
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void ValidateReport::Pass(const std::string& name, const CheckFigures& figures, const std::string& detail)
{
    Add(ECheckStatus_Pass, name, figures, detail);
}

void ValidateReport::Fail(const std::string& name, const std::string& detail, const CheckFigures& figures)
{
    Add(ECheckStatus_Fail, name, figures, detail);
}

void ValidateReport::Skip(const std::string& name, const std::string& detail)
{
    Add(ECheckStatus_Skip, name, CheckFigures(), detail);
}

void ValidateReport::Verdict(const std::string& name, const std::vector<std::string>& failures,
                             const CheckFigures& figures, const std::string& detail)
{
    if (failures.empty()) {
        Pass(name, figures, detail);
        return;
    }
    std::string text;
    const size_t SHOWN = 3;
    for (size_t i = 0; i < failures.size() && i < SHOWN; ++i) text += (i ? "; " : "") + failures[i];
    if (failures.size() > SHOWN) text += "; and " + std::to_string(failures.size() - SHOWN) + " more";
    Fail(name, text, figures);
}

void ValidateReport::Comparison(const std::string& name, const std::vector<std::string>& failures, bool produced,
                                const CheckFigures& figures, const std::string& detail)
{
    if (failures.empty() && !produced) {
        Add(ECheckStatus_Skip, name, CheckFigures(), "nothing to compare: the plug-in produced no output; " + detail,
            true);
        return;
    }
    Verdict(name, failures, figures, detail);
}

ValidateReport::Counts ValidateReport::Tally() const
{
    Counts counts;
    for (const CheckResult& result : mResults) {
        if (result.status == ECheckStatus_Pass) ++counts.passed;
        if (result.status == ECheckStatus_Fail) ++counts.failed;
        if (result.status == ECheckStatus_Skip) ++counts.skipped;
        if (result.nothingToCompare) ++counts.nothingToCompare;
    }
    return counts;
}

bool ValidateReport::WriteJson(std::string* error) const
{
    if (mJsonPath.empty()) return true;
    const RunDescription& run = mDescription;
    JsonWriter json;
    json.BeginObject();
    json.Key("tool");
    json.BeginObject(true);
    json.Key("name");
    json.String("tarvo-host validate");
    json.Key("version");
    json.String(TARVO_HOST_VERSION);
    json.EndObject();
    json.Key("commandLine");
    json.BeginArray(true);
    for (const std::string& argument : run.commandLine) json.String(argument);
    json.EndArray();
    json.Key("level");
    json.Integer(run.level);
    json.Key("seed");
    json.Integer(run.seed);
    json.Key("plugin");
    json.BeginObject();
    json.Key("path");
    json.String(run.plugin);
    json.Key("role");
    json.String(run.role);
    json.Key("name");
    json.String(run.effectName);
    json.Key("vendor");
    json.String(run.vendor);
    json.Key("uniqueId");
    json.Integer(run.uniqueId);
    json.Key("version");
    json.Integer(run.version);
    json.Key("flags");
    json.Integer(run.flags);
    json.Key("parameters");
    json.Integer(run.parameters);
    json.Key("programs");
    json.Integer(run.programs);
    json.Key("inputs");
    json.Integer(run.inputs);
    json.Key("outputs");
    json.Integer(run.outputs);
    json.EndObject();
    json.Key("checks");
    json.BeginArray();
    for (const CheckResult& result : mResults) {
        json.BeginObject(true);
        json.Key("name");
        json.String(result.name);
        json.Key("status");
        json.String(StatusWord(result.status));
        json.Key("reason");
        json.String(result.detail);
        json.Key("seconds");
        json.Number(result.seconds);
        json.Key("figures");
        json.BeginArray(true);
        for (const CheckFigure& figure : result.figures.list) {
            json.BeginObject(true);
            json.Key("name");
            json.String(figure.name);
            json.Key("value");
            if (figure.whole) {
                json.Integer(int64_t(figure.value));
            } else {
                json.Number(figure.value);
            }
            json.Key("unit");
            json.String(figure.unit);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    const Counts counts = Tally();
    json.Key("counts");
    json.BeginObject(true);
    json.Key("passed");
    json.Integer(counts.passed);
    json.Key("failed");
    json.Integer(counts.failed);
    json.Key("skipped");
    json.Integer(counts.skipped);
    json.Key("nothingToCompare");
    json.Integer(counts.nothingToCompare);
    json.EndObject();
    // The run's verdict, as the exit status gives it: no check failed and
    // at least one ran.
    json.Key("passed");
    json.Boolean(counts.failed == 0 && counts.passed > 0);
    json.EndObject();
    const std::string text = json.Text();
    return WriteWholeFileReplacing(mJsonPath, text.data(), text.size(), error);
}

void ValidateReport::PrintSummary() const
{
    const Counts counts = Tally();
    std::printf("checks: passed %d, failed %d, skipped %d (nothing to compare %d)\n", counts.passed, counts.failed,
                counts.skipped, counts.nothingToCompare);
    std::fflush(stdout);
}
