#include "DesktopPosix.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "GuiTypes.h"

extern char** environ;

namespace DesktopPosix {

namespace {

// How long a child may take to end after SIGTERM before it gets SIGKILL.
const int TERMINATE_WAIT_MS = 300;

bool IsExecutableFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The patterns of an extension list: "txt;scl", "*.txt *.scl", ".txt,scl".
std::vector<std::string> ExtensionPatterns(const std::string& extensions)
{
    std::vector<std::string> patterns;
    std::string current;
    for (size_t i = 0; i <= extensions.size(); ++i) {
        char c = i < extensions.size() ? extensions[i] : ';';
        if (c == ';' || c == ',' || c == ' ' || c == '|') {
            size_t start = 0;
            while (start < current.size() && (current[start] == '*' || current[start] == '.')) ++start;
            if (start < current.size()) patterns.push_back("*." + current.substr(start));
            current.clear();
        } else {
            current += c;
        }
    }
    return patterns;
}

std::string JoinPatterns(const std::vector<std::string>& patterns)
{
    std::string joined;
    for (const std::string& pattern : patterns) {
        if (!joined.empty()) joined += ' ';
        joined += pattern;
    }
    return joined;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A channel of digitsPerChannel hex digits, reduced to 8 bits.
bool HexChannel(const std::string& text, size_t start, size_t digitsPerChannel, int* pValue)
{
    int value = 0;
    for (size_t i = 0; i < digitsPerChannel; ++i) {
        int digit = HexDigit(text[start + i]);
        if (digit < 0) return false;
        value = value * 16 + digit;
    }
    *pValue = digitsPerChannel == 2 ? value : value >> (4 * (digitsPerChannel - 2));
    return true;
}

std::string HexColour(const Color& color)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned>(color.mRed & 0xFF),
                  static_cast<unsigned>(color.mGreen & 0xFF), static_cast<unsigned>(color.mBlue & 0xFF));
    return text;
}

}  // namespace

std::string FindProgram(const char* name)
{
    if (!name || !name[0] || std::strchr(name, '/')) return std::string();
    const char* path = std::getenv("PATH");
    if (!path) return std::string();
    std::string folders(path);
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string folder = folders.substr(start, end - start);
        // An empty entry is the current folder, which a plug-in inside a
        // host has no business searching.
        if (!folder.empty()) {
            std::string candidate = folder + (folder.back() == '/' ? "" : "/") + name;
            if (IsExecutableFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return std::string();
}

const char* const NO_DIALOG_TOOL_ADVICE = "install zenity or kdialog";

DialogTool FindDialogTool(std::string* pPath)
{
    *pPath = FindProgram("zenity");
    if (!pPath->empty()) return DialogTool_Zenity;
    *pPath = FindProgram("kdialog");
    if (!pPath->empty()) return DialogTool_Kdialog;
    return DialogTool_None;
}

std::vector<std::string> FileDialogArguments(DialogTool tool, const std::string& program, int action,
                                             const std::string& folder, const std::string& extensions)
{
    std::vector<std::string> arguments{program};
    bool save = action == 1;
    std::string start = folder;
    if (!start.empty() && start.back() != '/') start += '/';
    std::vector<std::string> patterns = ExtensionPatterns(extensions);
    if (tool == DialogTool_Zenity) {
        arguments.push_back("--file-selection");
        arguments.push_back(save ? "--title=Save As" : "--title=Open");
        if (save) {
            arguments.push_back("--save");
            arguments.push_back("--confirm-overwrite");
        }
        if (!start.empty()) arguments.push_back("--filename=" + start);
        if (!patterns.empty()) {
            arguments.push_back("--file-filter=" + JoinPatterns(patterns));
            arguments.push_back("--file-filter=*");
        }
    } else if (tool == DialogTool_Kdialog) {
        arguments.push_back("--title=" + std::string(save ? "Save As" : "Open"));
        // The "=" form: a folder starting with "-" stays a value.
        arguments.push_back(std::string(save ? "--getsavefilename=" : "--getopenfilename=") +
                            (start.empty() ? std::string(".") : start));
        if (!patterns.empty()) arguments.push_back(JoinPatterns(patterns));
    }
    return arguments;
}

std::vector<std::string> ColourDialogArguments(DialogTool tool, const std::string& program, const Color& start,
                                               const char* title)
{
    std::vector<std::string> arguments{program};
    char rgb[48];
    std::snprintf(rgb, sizeof rgb, "rgb(%d,%d,%d)", start.mRed & 0xFF, start.mGreen & 0xFF, start.mBlue & 0xFF);
    if (tool == DialogTool_Zenity) {
        arguments.push_back("--color-selection");
        arguments.push_back("--show-palette");
        arguments.push_back(std::string("--color=") + rgb);
        if (title && title[0]) arguments.push_back(std::string("--title=") + title);
    } else if (tool == DialogTool_Kdialog) {
        if (title && title[0]) arguments.push_back(std::string("--title=") + title);
        arguments.push_back("--getcolor");
        arguments.push_back("--default=" + HexColour(start));
    }
    return arguments;
}

std::vector<std::string> MessageBoxArguments(DialogTool tool, const std::string& program, const char* text,
                                             const char* title, bool yesNo)
{
    std::vector<std::string> arguments{program};
    std::string message = text ? text : "";
    std::string caption = title ? title : "";
    if (tool == DialogTool_Zenity) {
        arguments.push_back(yesNo ? "--question" : "--info");
        // Texts are shown as they are, not as Pango markup.
        arguments.push_back("--no-markup");
        arguments.push_back("--title=" + caption);
        arguments.push_back("--text=" + message);
    } else if (tool == DialogTool_Kdialog) {
        arguments.push_back("--title=" + caption);
        arguments.push_back(std::string(yesNo ? "--yesno=" : "--msgbox=") + message);
    }
    return arguments;
}

bool ParseFileAnswer(const std::string& output, std::string* pPath)
{
    size_t end = output.find('\n');
    std::string line = output.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) return false;
    *pPath = line;
    return true;
}

bool ParseColourAnswer(const std::string& output, Color* pColor)
{
    std::string text = output.substr(0, output.find('\n'));
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) text.pop_back();
    int red = 0, green = 0, blue = 0;
    if (!text.empty() && text[0] == '#') {
        size_t digits = text.size() - 1;
        if (digits != 6 && digits != 12) return false;
        size_t perChannel = digits / 3;
        if (!HexChannel(text, 1, perChannel, &red) || !HexChannel(text, 1 + perChannel, perChannel, &green) ||
            !HexChannel(text, 1 + 2 * perChannel, perChannel, &blue)) {
            return false;
        }
    } else {
        double alpha = 0.0;
        char tail = 0;
        bool parsed = std::sscanf(text.c_str(), "rgb(%d,%d,%d%c", &red, &green, &blue, &tail) == 4 ||
                      std::sscanf(text.c_str(), "rgba(%d,%d,%d,%lf%c", &red, &green, &blue, &alpha, &tail) == 5;
        if (!parsed || tail != ')') return false;
        if (red < 0 || red > 255 || green < 0 || green > 255 || blue < 0 || blue > 255) return false;
    }
    pColor->mRed = red;
    pColor->mGreen = green;
    pColor->mBlue = blue;
    return true;
}

bool InternetConnected()
{
    struct ifaddrs* pList = nullptr;
    if (getifaddrs(&pList) != 0) return false;
    bool connected = false;
    for (struct ifaddrs* pEntry = pList; pEntry && !connected; pEntry = pEntry->ifa_next) {
        if (!pEntry->ifa_addr) continue;
        int family = pEntry->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) continue;
        unsigned flags = pEntry->ifa_flags;
        connected = (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
    }
    freeifaddrs(pList);
    return connected;
}

// ---- Child processes

ChildProcess::~ChildProcess()
{
    Kill();
    CloseOutput();
}

bool ChildProcess::Start(const std::vector<std::string>& arguments, bool captureOutput)
{
    if (mPid > 0 || arguments.empty()) return false;
    int pipeFds[2] = {-1, -1};
    if (captureOutput && pipe2(pipeFds, O_CLOEXEC) != 0) return false;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (captureOutput) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    // Toolkit warnings belong to no one's terminal.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // Descriptors the host left inheritable (sockets, devices) stay with it.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    // The host may block or catch signals on its threads; the child starts
    // as a fresh program.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    int result = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0) close(pipeFds[1]);
    if (result != 0) {
        if (pipeFds[0] >= 0) close(pipeFds[0]);
        return false;
    }
    if (pipeFds[0] >= 0) fcntl(pipeFds[0], F_SETFL, fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
    mPid = pid;
    mOutputFd = pipeFds[0];
    mReaped = false;
    mExitCode = -1;
    mOutput.clear();
    return true;
}

void ChildProcess::ReadOutput()
{
    if (mOutputFd < 0) return;
    char buffer[4096];
    for (;;) {
        ssize_t count = read(mOutputFd, buffer, sizeof buffer);
        if (count > 0) {
            // A dialog prints a line; a runaway child does not fill memory.
            if (mOutput.size() < 65536) mOutput.append(buffer, static_cast<size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        CloseOutput();
        return;
    }
}

void ChildProcess::CloseOutput()
{
    if (mOutputFd >= 0) close(mOutputFd);
    mOutputFd = -1;
}

bool ChildProcess::Finished(int* pExitCode)
{
    if (mPid <= 0) {
        if (pExitCode) *pExitCode = -1;
        return true;
    }
    if (!mReaped) {
        int status = 0;
        pid_t result = waitpid(mPid, &status, WNOHANG);
        if (result == mPid) {
            mReaped = true;
            mExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        } else if (result < 0 && errno == ECHILD) {
            // The host reaps every child itself (a SIGCHLD handler).
            mReaped = true;
            mExitCode = -1;
        }
    }
    if (mReaped && pExitCode) *pExitCode = mExitCode;
    return mReaped;
}

void ChildProcess::Kill()
{
    if (mPid <= 0 || Finished(nullptr)) return;
    // Not reaped, so the pid is still this child's, even as a zombie.
    kill(mPid, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TERMINATE_WAIT_MS);
    while (!Finished(nullptr) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (Finished(nullptr)) return;
    kill(mPid, SIGKILL);
    int status = 0;
    while (waitpid(mPid, &status, 0) < 0 && errno == EINTR) {
    }
    mReaped = true;
    mExitCode = -1;
}

}  // namespace DesktopPosix
