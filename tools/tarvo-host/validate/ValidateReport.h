// The results of "tarvo-host validate": one line per check on standard
// output as it finishes ("PASS name  figure  detail"), the exit status, and
// the JSON file of --json. A plug-in that crashes the host mid-check still
// gets its line: the check that was running is reported as failed.
#pragma once

#include <string>
#include <vector>

enum ECheckStatus {
    ECheckStatus_Pass,
    ECheckStatus_Fail,
    ECheckStatus_Skip
};

struct CheckResult {
    ECheckStatus status;
    std::string name;
    std::string figure;  // a measured figure with its unit, or empty
    std::string detail;  // why it failed or was skipped, or what it covered
};

class ValidateReport {
public:
    ValidateReport();
    virtual ~ValidateReport();

    // The check about to run, named in the line printed should the plug-in
    // crash the process.
    void Begin(const std::string& name);
    void Add(ECheckStatus status, const std::string& name, const std::string& figure, const std::string& detail);
    void Pass(const std::string& name, const std::string& figure = "", const std::string& detail = "");
    void Fail(const std::string& name, const std::string& detail, const std::string& figure = "");
    void Skip(const std::string& name, const std::string& detail);
    // PASS when failures is empty, else FAIL with the first few of them.
    void Verdict(const std::string& name, const std::vector<std::string>& failures, const std::string& figure = "",
                 const std::string& detail = "");

    bool AnyFailed() const;
    const std::vector<CheckResult>& Results() const { return mResults; }
    // Writes the results to the file given with --json (also after a crash);
    // empty: no file.
    void SetJsonPath(const std::string& path, const std::string& plugin);
    bool WriteJson() const;
    // A line with the counts of passed, failed and skipped checks.
    void PrintSummary() const;

private:
    std::vector<CheckResult> mResults;
    std::string mJsonPath;
    std::string mPlugin;
};
