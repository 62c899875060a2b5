// The results of "tarvo-host validate": one line per check on standard
// output as it finishes ("PASS name  figures  (detail)"), the counts, and the
// JSON file of --json. A plug-in that crashes the host mid-check still gets
// its line: the check that was running is reported as failed.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

enum ECheckStatus {
    ECheckStatus_Pass,
    ECheckStatus_Fail,
    ECheckStatus_Skip
};

// A measured figure: a number and its unit, and a name when a check
// reports several ("median", "longest").
struct CheckFigure {
    std::string name;
    double value = 0.0;
    std::string unit;
    bool whole = false;  // a count: printed and written without decimals
};

// A duration, given in seconds, as milliseconds.
CheckFigure Milliseconds(double seconds, const std::string& name = "");
CheckFigure Count(int64_t count, const std::string& unit, const std::string& name = "");

// None, one or several figures.
struct CheckFigures {
    CheckFigures() {}
    CheckFigures(const CheckFigure& figure) : list{figure} {}
    CheckFigures(std::initializer_list<CheckFigure> figures) : list(figures) {}
    // "median 0.012 ms, longest 0.020 ms"
    std::string Text() const;
    std::vector<CheckFigure> list;
};

struct CheckResult {
    ECheckStatus status;
    std::string name;
    CheckFigures figures;
    std::string detail;  // why it failed or was skipped, or what it covered
    double seconds;      // how long the check ran
    // Skipped because the plug-in produced nothing the check could compare.
    bool nothingToCompare;
};

// What the JSON file says about the run and the plug-in.
struct RunDescription {
    std::vector<std::string> commandLine;
    int level = 0;
    uint32_t seed = 0;
    std::string plugin;
    std::string role;  // "instrument", "generator" or "effect"
    std::string effectName;
    std::string vendor;
    int64_t uniqueId = 0;
    int64_t version = 0;
    int64_t flags = 0;
    int64_t parameters = 0;
    int64_t programs = 0;
    int64_t inputs = 0;
    int64_t outputs = 0;
};

class ValidateReport {
public:
    ValidateReport();
    virtual ~ValidateReport();

    // The check about to run, named in the line printed should the plug-in
    // crash the process; its duration is counted from here.
    void Begin(const std::string& name);
    void Add(ECheckStatus status, const std::string& name, const CheckFigures& figures, const std::string& detail,
             bool nothingToCompare = false);
    void Pass(const std::string& name, const CheckFigures& figures = CheckFigures(), const std::string& detail = "");
    void Fail(const std::string& name, const std::string& detail, const CheckFigures& figures = CheckFigures());
    void Skip(const std::string& name, const std::string& detail);
    // PASS when failures is empty, else FAIL with the first few of them.
    void Verdict(const std::string& name, const std::vector<std::string>& failures,
                 const CheckFigures& figures = CheckFigures(), const std::string& detail = "");
    // A verdict of a check that compares what the plug-in produced: with no
    // failure and nothing produced (no events, silent outputs) it is a SKIP,
    // never a PASS.
    void Comparison(const std::string& name, const std::vector<std::string>& failures, bool produced,
                    const CheckFigures& figures = CheckFigures(), const std::string& detail = "");

    // How many checks had each status, and how many of the skipped ones had
    // nothing to compare.
    struct Counts {
        int passed = 0;
        int failed = 0;
        int skipped = 0;
        int nothingToCompare = 0;
    };
    Counts Tally() const;
    bool AnyFailed() const { return Tally().failed > 0; }
    // A run in which every check was skipped validated nothing.
    bool AnyRan() const
    {
        const Counts counts = Tally();
        return counts.passed + counts.failed > 0;
    }
    const std::vector<CheckResult>& Results() const { return mResults; }
    // The file given with --json (written also after a crash); empty: no
    // file. Written to a temporary name beside it and renamed when complete.
    void SetJsonPath(const std::string& path) { mJsonPath = path; }
    void SetDescription(const RunDescription& description) { mDescription = description; }
    bool WriteJson(std::string* error) const;
    // A line with the counts of passed, failed and skipped checks.
    void PrintSummary() const;

private:
    std::vector<CheckResult> mResults;
    std::string mJsonPath;
    RunDescription mDescription;
    double mBegun = 0.0;
};
