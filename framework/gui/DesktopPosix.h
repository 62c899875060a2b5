// The desktop's own programs as the editor uses them on Linux: file and
// colour dialogs and message boxes through zenity (or kdialog), web
// addresses through xdg-open. Each runs as a child process started with
// posix_spawn from an argument list, never through a shell, so no text
// (a title, a folder, an address) is ever read as a command.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct Color;

namespace DesktopPosix {

// The full path of an executable regular file named name in one of the
// folders of $PATH; empty when there is none.
std::string FindProgram(const char* name);

enum DialogTool {
    DialogTool_None = 0,
    DialogTool_Zenity = 1,
    DialogTool_Kdialog = 2
};

// zenity when installed, else kdialog; *pPath gets its path.
DialogTool FindDialogTool(std::string* pPath);
// What the user is told when neither is installed.
extern const char* const NO_DIALOG_TOOL_ADVICE;

// Argument lists (the program's path first). action 1 is a save dialog
// that asks before overwriting; anything else opens an existing file.
// extensions: a list such as "txt;scl" or "*.txt *.scl" (empty: any file).
std::vector<std::string> FileDialogArguments(DialogTool tool, const std::string& program, int action,
                                             const std::string& folder, const std::string& extensions);
std::vector<std::string> ColourDialogArguments(DialogTool tool, const std::string& program, const Color& start,
                                               const char* title);
std::vector<std::string> MessageBoxArguments(DialogTool tool, const std::string& program, const char* text,
                                             const char* title, bool yesNo);

// The first line of a dialog's output, without its line end; false when
// there is none.
bool ParseFileAnswer(const std::string& output, std::string* pPath);
// "rgb(r,g,b)", "rgba(r,g,b,a)" or "#rrggbb" (also "#rrrrggggbbbb"); only
// red, green and blue are set. False for anything else.
bool ParseColourAnswer(const std::string& output, Color* pColor);

// True when a network interface other than loopback is up with an address.
bool InternetConnected();

// A child process whose standard output the parent reads through a pipe;
// its standard input is /dev/null and no other descriptor of the host
// reaches it.
class ChildProcess {
public:
    ChildProcess() {}
    // Kills a child that still runs.
    ~ChildProcess();

    // False when the program could not be started. Without captureOutput
    // its output goes to /dev/null: a program that starts others (a
    // browser) must not leave them holding a pipe that is waited on.
    bool Start(const std::vector<std::string>& arguments, bool captureOutput = true);
    pid_t Pid() const { return mPid; }
    // The read end of the output pipe, -1 once it reached its end.
    int OutputFd() const { return mOutputFd; }
    // Takes whatever output is there without waiting.
    void ReadOutput();
    // Reaps the child when it has ended; true once it has. *pExitCode: its
    // exit status, or -1 after a signal or when someone else reaped it.
    bool Finished(int* pExitCode);
    // Ends the child by its pid: SIGTERM, then SIGKILL after a short wait;
    // it is reaped either way.
    void Kill();
    const std::string& Output() const { return mOutput; }

private:
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void CloseOutput();

    pid_t mPid = -1;
    int mOutputFd = -1;
    bool mReaped = false;
    int mExitCode = -1;
    std::string mOutput;
};

}  // namespace DesktopPosix
