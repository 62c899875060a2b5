// File and colour dialogs, message boxes and web addresses on Linux: the
// desktop's programs run as child processes with plain argument lists,
// answer "cancelled" when none is installed, and go when the editor closes.
#include "X11TestSupport.h"

#include <cerrno>
#include <csignal>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

#include "framework/gui/DesktopPosix.h"

namespace {

// A folder of stand-in desktop programs, put first and alone on $PATH for
// the test's lifetime (set before the editor's thread starts).
class FakeDesktop {
public:
    FakeDesktop()
    {
        char pattern[] = "/tmp/x11-dialogs-XXXXXX";
        const char* made = mkdtemp(pattern);
        mFolder = made ? made : "";
        const char* path = std::getenv("PATH");
        mOldPath = path ? path : "";
        setenv("PATH", mFolder.c_str(), 1);
    }
    ~FakeDesktop()
    {
        setenv("PATH", mOldPath.c_str(), 1);
        std::string command = "rm -rf '" + mFolder + "'";
        if (std::system(command.c_str()) != 0) ADD_FAILURE() << "could not remove " << mFolder;
    }
    // A shell script named name whose body follows "#!/bin/sh"; $DIR in it
    // is the folder.
    void AddProgram(const std::string& name, const std::string& body)
    {
        std::string path = mFolder + "/" + name;
        std::ofstream script(path);
        script << "#!/bin/sh\nDIR='" << mFolder << "'\n" << body << "\n";
        script.close();
        chmod(path.c_str(), 0755);
    }
    std::string Folder() const { return mFolder; }
    std::string Read(const std::string& name) const
    {
        std::ifstream file(mFolder + "/" + name);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    bool Exists(const std::string& name) const { return access((mFolder + "/" + name).c_str(), F_OK) == 0; }

private:
    std::string mFolder;
    std::string mOldPath;
};

// Sets the action control's action, clicks it and waits until it ran.
bool RunAction(X11Host& host, X11Rig& rig, std::function<void(ActionControl*)> action, int timeoutMs = 5000)
{
    {
        ScopedLock lock(rig.Window().SurfaceLock());
        rig.Action()->mAction = std::move(action);
    }
    int runs = rig.Action()->mRuns.load();
    // Apart from the last click, so that it is no double-click.
    host.Pause(450);
    host.Click(40, 130);
    return WaitFor([&]() { return rig.Action()->mRuns.load() > runs; }, timeoutMs);
}

// What a stand-in zenity records: its arguments, one per line, and its pid.
const char* RECORDING_ZENITY =
    "printf '%s\\n' \"$@\" > \"$DIR/args\"\n"
    "echo $$ > \"$DIR/pid\"\n"
    "case \"$1\" in\n"
    "  --file-selection) printf '%s\\n' '/tmp/some file.txt' ;;\n"
    "  --color-selection) printf 'rgb(10,20,30)\\n' ;;\n"
    "esac\n"
    "exit 0";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(X11Dialogs, WithoutZenityOrKdialogEveryDialogAnswersCancelled)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    FakeDesktop desktop;  // an empty $PATH folder
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunAction(host, rig, [](ActionControl* pControl) {
        pControl->mText = "unchanged";
        pControl->GetGraphics()->ChooseFile(&pControl->mText, 0, "/tmp", "txt");
    }));
    EXPECT_EQ(rig.Action()->mText, "");
    ASSERT_TRUE(RunAction(host, rig, [](ActionControl* pControl) {
        Color colour(255, 1, 2, 3);
        pControl->mResult = pControl->GetGraphics()->ChooseColour(&colour, "Colour") || colour != Color(255, 1, 2, 3);
    }));
    EXPECT_FALSE(rig.Action()->mResult);
    ASSERT_TRUE(RunAction(host, rig, [](ActionControl* pControl) {
        pControl->mResult =
            pControl->GetGraphics()->OpenWebAddress("https://example.invalid/", "Title", "Open it?", "It failed");
    }));
    EXPECT_FALSE(rig.Action()->mResult);
    // Nothing waited for anything.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(X11Dialogs, ZenityGetsPlainArgumentsAndItsAnswersAreRead)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    FakeDesktop desktop;
    desktop.AddProgram("zenity", RECORDING_ZENITY);
    desktop.AddProgram("xdg-open", "printf '%s' \"$1\" > \"$DIR/url\"\nexit 0");
    // A folder whose name a shell would run.
    std::string folder = desktop.Folder() + "/a $(touch pwned) `touch pwned2` b";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));

    ASSERT_TRUE(RunAction(host, rig, [folder](ActionControl* pControl) {
        pControl->GetGraphics()->ChooseFile(&pControl->mText, 0, folder.c_str(), "txt;*.scl");
    }));
    EXPECT_EQ(rig.Action()->mText, "/tmp/some file.txt");
    std::vector<std::string> arguments = Lines(desktop.Read("args"));
    EXPECT_EQ(arguments, (std::vector<std::string>{"--file-selection", "--title=Open", "--filename=" + folder + "/",
                                                   "--file-filter=*.txt *.scl", "--file-filter=*"}));
    EXPECT_FALSE(desktop.Exists("pwned"));
    EXPECT_FALSE(desktop.Exists("pwned2"));

    ASSERT_TRUE(RunAction(host, rig, [folder](ActionControl* pControl) {
        pControl->GetGraphics()->ChooseFile(&pControl->mText, 1, folder.c_str(), "");
    }));
    arguments = Lines(desktop.Read("args"));
    EXPECT_EQ(arguments, (std::vector<std::string>{"--file-selection", "--title=Save As", "--save",
                                                   "--confirm-overwrite", "--filename=" + folder + "/"}));

    ASSERT_TRUE(RunAction(host, rig, [](ActionControl* pControl) {
        Color colour(255, 200, 100, 50);
        pControl->mResult =
            pControl->GetGraphics()->ChooseColour(&colour, "Pick 'one' $HOME") && colour == Color(255, 10, 20, 30);
    }));
    EXPECT_TRUE(rig.Action()->mResult);
    arguments = Lines(desktop.Read("args"));
    EXPECT_EQ(arguments, (std::vector<std::string>{"--color-selection", "--show-palette", "--color=rgb(200,100,50)",
                                                   "--title=Pick 'one' $HOME"}));

    // A confirmed web address: the question is asked, then the address
    // opens, when the machine has a network.
    ASSERT_TRUE(RunAction(host, rig, [](ActionControl* pControl) {
        pControl->mResult = pControl->GetGraphics()->OpenWebAddress("https://example.invalid/a?b=1&c=2", "Site",
                                                                    "Open <the> site?", "No luck");
    }));
    if (DesktopPosix::InternetConnected()) {
        EXPECT_TRUE(rig.Action()->mResult);
        EXPECT_EQ(desktop.Read("url"), "https://example.invalid/a?b=1&c=2");
        EXPECT_EQ(Lines(desktop.Read("args")),
                  (std::vector<std::string>{"--question", "--no-markup", "--title=Site", "--text=Open <the> site?"}));
    } else {
        EXPECT_FALSE(rig.Action()->mResult);
        EXPECT_FALSE(desktop.Exists("url"));
        EXPECT_EQ(Lines(desktop.Read("args")),
                  (std::vector<std::string>{"--info", "--no-markup", "--title=Site", "--text=No luck"}));
    }
}

TEST(X11Dialogs, ADialogKeepsTheEditorPaintedAndEndsWithTheEditor)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    FakeDesktop desktop;
    desktop.AddProgram("zenity", "echo $$ > \"$DIR/pid\"\nexec /bin/sleep 30");
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    {
        ScopedLock lock(rig.Window().SurfaceLock());
        rig.Action()->mAction = [](ActionControl* pControl) {
            pControl->GetGraphics()->ChooseFile(&pControl->mText, 0, "/tmp", "");
        };
    }
    host.Click(40, 130);
    ASSERT_TRUE(WaitFor([&]() { return !desktop.Read("pid").empty(); }));
    pid_t pid = static_cast<pid_t>(std::atoi(desktop.Read("pid").c_str()));
    ASSERT_GT(pid, 0);
    EXPECT_EQ(kill(pid, 0), 0);

    // The timer keeps running while the dialog is open, and the host's
    // values still reach the screen.
    std::thread automation([&]() { IPlugVST::VSTSetParameter(rig.Effect(), ProbeParam_Gain, 1.0f); });
    automation.join();
    EXPECT_TRUE(WaitFor([&]() { return ((host.Pixel(rig.EditorWindow(), 50, 50) >> 16) & 0xFF) > 0xF0; }));
    // The editor's own input waits for the dialog.
    rig.ClearEvents();
    host.Click(50, 50);
    host.Pause(100);
    EXPECT_TRUE(rig.Events(rig.Gain()).empty());

    auto start = std::chrono::steady_clock::now();
    rig.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // Ended and reaped: the pid is gone.
    errno = 0;
    EXPECT_EQ(kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

// ---- The argument lists and answers, without a display

TEST(DesktopPosix, KdialogArgumentsKeepTextsAsValues)
{
    Color start(255, 0x12, 0xAB, 0x03);
    EXPECT_EQ(DesktopPosix::FileDialogArguments(DesktopPosix::DialogTool_Kdialog, "/k", 0, "-dir", ".txt, scl"),
              (std::vector<std::string>{"/k", "--title=Open", "--getopenfilename=-dir/", "*.txt *.scl"}));
    EXPECT_EQ(DesktopPosix::FileDialogArguments(DesktopPosix::DialogTool_Kdialog, "/k", 1, "", ""),
              (std::vector<std::string>{"/k", "--title=Save As", "--getsavefilename=."}));
    EXPECT_EQ(DesktopPosix::ColourDialogArguments(DesktopPosix::DialogTool_Kdialog, "/k", start, nullptr),
              (std::vector<std::string>{"/k", "--getcolor", "--default=#12ab03"}));
    EXPECT_EQ(DesktopPosix::MessageBoxArguments(DesktopPosix::DialogTool_Kdialog, "/k", "--help", "T", true),
              (std::vector<std::string>{"/k", "--title=T", "--yesno=--help"}));
    EXPECT_EQ(DesktopPosix::MessageBoxArguments(DesktopPosix::DialogTool_Zenity, "/z", "Done", nullptr, false),
              (std::vector<std::string>{"/z", "--info", "--no-markup", "--title=", "--text=Done"}));
}

TEST(DesktopPosix, ColourAnswersOfBothToolsAreRead)
{
    Color colour(255, 1, 2, 3);
    EXPECT_TRUE(DesktopPosix::ParseColourAnswer("rgb(10,20,30)\n", &colour));
    EXPECT_EQ(colour, Color(255, 10, 20, 30));
    EXPECT_TRUE(DesktopPosix::ParseColourAnswer("rgba(255, 0, 128, 0.5)\n", &colour));
    EXPECT_EQ(colour, Color(255, 255, 0, 128));
    EXPECT_TRUE(DesktopPosix::ParseColourAnswer("#0a141E\n", &colour));
    EXPECT_EQ(colour, Color(255, 10, 20, 30));
    EXPECT_TRUE(DesktopPosix::ParseColourAnswer("#ffff80800000", &colour));
    EXPECT_EQ(colour, Color(255, 255, 128, 0));
    // Anything else leaves the colour alone.
    const char* bad[] = {"", "\n", "rgb(1,2)", "rgb(1,2,300)", "#12345", "#gg0000", "rgb(1,2,3", "blue"};
    for (const char* answer : bad) {
        EXPECT_FALSE(DesktopPosix::ParseColourAnswer(answer, &colour)) << answer;
        EXPECT_EQ(colour, Color(255, 255, 128, 0)) << answer;
    }
    std::string path;
    EXPECT_TRUE(DesktopPosix::ParseFileAnswer("/a b/c.txt\r\nignored\n", &path));
    EXPECT_EQ(path, "/a b/c.txt");
    EXPECT_FALSE(DesktopPosix::ParseFileAnswer("\n", &path));
}

TEST(DesktopPosix, ChildProcessesAreReadReapedAndKilledByPid)
{
    DesktopPosix::ChildProcess echo;
    ASSERT_TRUE(echo.Start({"/bin/sh", "-c", "printf 'out'; exit 3"}));
    int exitCode = 0;
    for (int i = 0; i < 2000 && !(echo.OutputFd() < 0 && echo.Finished(&exitCode)); ++i) {
        echo.ReadOutput();
        usleep(1000);
    }
    EXPECT_EQ(echo.Output(), "out");
    EXPECT_EQ(exitCode, 3);

    // A launcher's own children keep no pipe open that anyone waits on.
    DesktopPosix::ChildProcess launcher;
    ASSERT_TRUE(launcher.Start({"/bin/sh", "-c", "/bin/sleep 3 & exit 0"}, false));
    EXPECT_EQ(launcher.OutputFd(), -1);
    auto start = std::chrono::steady_clock::now();
    while (!launcher.Finished(&exitCode) && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        usleep(1000);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(exitCode, 0);

    DesktopPosix::ChildProcess missing;
    EXPECT_FALSE(missing.Start({"/nonexistent/program"}));

    // A child that ignores SIGTERM is killed all the same.
    DesktopPosix::ChildProcess stubborn;
    ASSERT_TRUE(stubborn.Start({"/bin/sh", "-c", "trap '' TERM; exec /bin/sleep 30"}));
    pid_t pid = stubborn.Pid();
    usleep(50000);
    stubborn.Kill();
    EXPECT_TRUE(stubborn.Finished(&exitCode));
    errno = 0;
    EXPECT_EQ(kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}
