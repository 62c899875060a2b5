// "Load scene" and "Save scene": a load through the editor is the host's
// state load (same state, no automation, one display update), a file that
// is no scene of this plug-in changes nothing and says why, a save writes
// the state to a scene file in the user's folder, and a missing dialog
// program is said on the message line.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "EditorTestSupport.h"
#include "IMessageLine.h"
#include "SceneFile.h"
#include "TempFolder.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// What the host's effGetChunk gives after effSetChunk of the chunk.
Bytes LoadedByTheHost(const Bytes& chunk)
{
    FakeHost host;
    EXPECT_TRUE(host.SetChunk(chunk));
    return host.GetChunk();
}

// The heaviest scene, as a chunk and as a scene file.
Bytes HeavyScene(const std::string& path)
{
    FakeHost host;
    host.SetUpHeavyScene();
    Bytes chunk = host.GetChunk();
    EXPECT_TRUE(SceneFile::Write(path, host.Effect()->uniqueID, host.Effect()->version, chunk));
    return chunk;
}

void Choose(EditorHost& host, const std::string& path)
{
    OffscreenScript& script = Offscreen(host.Window());
    script.mFileChosen = true;
    script.mFilePath = path;
}

std::string Message(EditorHost& host) { return host.Gui().MessageLine()->GetText(); }

void ClickCentre(EditorHost& host, IControl* pControl)
{
    host.Click(pControl->GetRect().MidX(), pControl->GetRect().MidY());
}

}  // namespace

TEST(EditorSceneFiles, ALoadIsTheHostsStateLoadAndARefusedFileChangesNothing)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string scene = folder.File("Heavy Walk.fxp");
    const Bytes chunk = HeavyScene(scene);
    EditorHost host(folder.Path());
    host.Open();
    Choose(host, scene);
    // The label is part of the button.
    host.Click(700, 545);
    OffscreenScript& script = Offscreen(host.Window());
    EXPECT_EQ(script.mFileDialogs, 1);
    EXPECT_EQ(script.mLastFileAction, IFileSelectorControl::ACTION_OPEN);
    EXPECT_EQ(script.mLastFileFolder, folder.File("Scenes"));
    EXPECT_EQ(host.GetChunk(), LoadedByTheHost(chunk));
    // The host reads every parameter again, and records no automation.
    EXPECT_EQ(host.mDisplayUpdates, 1);
    EXPECT_TRUE(host.mAutomation.empty());
    host.Tick();
    EXPECT_EQ(Message(host), "Scene loaded:\nHeavy Walk");
    EXPECT_FALSE(host.Gui().MessageLine()->ShowsProblem());
    EXPECT_EQ(host.ReadOutText(EParam_NumRows), "17");

    // Files that are no scene of this plug-in: each is refused with its
    // reason, and the state stays byte for byte.
    Bytes file(chunk.size() + ProgramFile::HEADER_SIZE);
    {
        FILE* pFile = std::fopen(scene.c_str(), "rb");
        ASSERT_NE(pFile, nullptr);
        file.resize(std::fread(file.data(), 1, file.size(), pFile));
        std::fclose(pFile);
    }
    Bytes damaged = file;
    for (size_t i = ProgramFile::HEADER_SIZE + 8; i < damaged.size(); ++i) damaged[i] = 0xEE;
    Bytes foreign = file;
    foreign[19] ^= 1;
    const Bytes truncated(file.begin(), file.end() - 100);
    const struct {
        const char* mName;
        Bytes mBytes;
        const char* mMessage;
    } refused[] = {
        {"damaged.fxp", damaged, "Scene not loaded:\nthe scene is damaged"},
        {"foreign.fxp", foreign, "Scene not loaded:\nfrom another plug-in"},
        {"truncated.fxp", truncated, "Scene not loaded:\nthe file is cut short"},
        {"notes.txt", Bytes(100, 'x'), "Scene not loaded:\nnot a scene file"},
    };
    host.Play();
    host.ProcessBlocks(4, 512);
    for (const auto& c : refused) {
        SCOPED_TRACE(c.mName);
        Choose(host, folder.Write(c.mName, std::string(c.mBytes.begin(), c.mBytes.end())));
        const Bytes playing = host.GetChunk();
        ClickCentre(host, host.Gui().LoadSceneButton());
        EXPECT_EQ(host.GetChunk(), playing);
        host.Tick();
        EXPECT_EQ(Message(host), c.mMessage);
        EXPECT_TRUE(host.Gui().MessageLine()->ShowsProblem());
    }
    host.Stop();
    Choose(host, folder.File("absent.fxp"));
    const Bytes stopped = host.GetChunk();
    ClickCentre(host, host.Gui().LoadSceneButton());
    EXPECT_EQ(host.GetChunk(), stopped);
    EXPECT_EQ(Message(host), "Scene not loaded:\ncannot read the file");
    EXPECT_EQ(host.mDisplayUpdates, 1);

    // The message goes after a while by itself.
    host.Tick(IMessageLine::SHOW_TICKS);
    EXPECT_EQ(Message(host), "");
}

TEST(EditorSceneFiles, ASaveWritesTheStateIntoTheUsersFolderWhichIsMadeFirst)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string mine = folder.File("my scenes/Tarvo");
    folder.Write("Tarvo3.ini", "UserSceneFolder \"" + mine + "\"\n");
    EditorHost host(folder.Path());
    host.SetUpHeavyScene();
    host.Open();
    // Typed without extension: ".fxp" is added, the name is the file's.
    Choose(host, mine + "/Night Shift");
    ClickCentre(host, host.Gui().SaveSceneButton());
    OffscreenScript& script = Offscreen(host.Window());
    EXPECT_EQ(script.mLastFileAction, IFileSelectorControl::ACTION_SAVE);
    EXPECT_EQ(script.mLastFileFolder, mine);
    SceneFile saved;
    ASSERT_EQ(saved.Read((mine + "/Night Shift.fxp").c_str(), host.Effect()->uniqueID), SceneFile::EProblem_None);
    EXPECT_STREQ(saved.ProgramName(), "Night Shift");
    EXPECT_EQ(Bytes(saved.Chunk(), saved.Chunk() + saved.ChunkSize()), host.GetChunk());
    EXPECT_EQ(Message(host), "Scene saved:\nNight Shift");
    EXPECT_TRUE(host.mAutomation.empty());

    // The dialog asked before replacing "Night Shift", not "Night Shift.fxp":
    // that one stays as it is.
    host.SetParam(EParam_NumRows, 0.0);
    ClickCentre(host, host.Gui().SaveSceneButton());
    EXPECT_EQ(Message(host), "Scene not saved:\nNight Shift.fxp exists");
    ASSERT_EQ(saved.Read((mine + "/Night Shift.fxp").c_str(), host.Effect()->uniqueID), SceneFile::EProblem_None);
    EXPECT_NE(Bytes(saved.Chunk(), saved.Chunk() + saved.ChunkSize()), host.GetChunk());

    // A file that cannot be written: said so, nothing left behind.
    Choose(host, folder.File("absent/x.fxp"));
    ClickCentre(host, host.Gui().SaveSceneButton());
    EXPECT_EQ(Message(host), "Scene not saved:\ncannot write the file");
    EXPECT_TRUE(host.Gui().MessageLine()->ShowsProblem());
    struct stat info;
    EXPECT_NE(stat(folder.File("absent").c_str(), &info), 0);
}

TEST(EditorSceneFiles, WithoutADialogProgramEveryFileButtonSaysWhatToInstall)
{
    EditorHost host;
    host.Open();
    OffscreenScript& script = Offscreen(host.Window());
    script.mFileDialogProblem = "install zenity or kdialog";
    const Bytes before = host.GetChunk();
    for (IControl* pButton :
         {static_cast<IControl*>(host.Gui().FileSelector()), static_cast<IControl*>(host.Gui().LoadSceneButton()),
          static_cast<IControl*>(host.Gui().SaveSceneButton())}) {
        host.Gui().MessageLine()->Clear();
        ClickCentre(host, pButton);
        host.Tick();
        EXPECT_EQ(Message(host), "No file dialog:\ninstall zenity or kdialog");
        EXPECT_TRUE(host.Gui().MessageLine()->ShowsProblem());
    }
    EXPECT_EQ(host.GetChunk(), before);
    EXPECT_EQ(script.mFileDialogs, 0);

    // The next scale loaded takes the message away.
    TempFolder folder;
    ASSERT_TRUE(folder.Valid());
    script.mFileDialogProblem.clear();
    Choose(host, folder.Write("minor.txt", "57\n59\n60\n"));
    host.ClickBound(EParam_FileSelect);
    host.Tick();
    EXPECT_EQ(Message(host), "");
    EXPECT_STREQ(host.Plug()->ScaleName(), "minor");
}
