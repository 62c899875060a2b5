// Scale files read by the editor and handed to the processor: the notes
// fill all four slots, the name is shown and saved, and a reloaded project
// plays what it played.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "FakeHost.h"
#include "TarvoView.h"
#include "TempFolder.h"

namespace {

// Records the scale names the processor shows.
class NameView : public ITarvoView {
public:
    explicit NameView(std::string* pShown) : mpShown(pShown) {}
    void ShowParamValue(int, double) override {}
    bool ShownValue(int, double*) const override { return false; }
    void ResetCellControl(int) override {}
    void PublishStep(const Matrix&, const StepSimulation&) override {}
    void ShowWallMarks(const StepSimulation&) override {}
    void UpdateGridLayout(const Matrix&) override {}
    void SetWallDisplay(int, int, int, const int*) override {}
    void MarkStepCanvasChanged() override {}
    void MarkSequencerPanelChanged() override {}
    void ShowPanels(bool) override {}
    void ShowPatternSlot(int, bool, const Matrix*) override {}
    void ShowScaleName(const char* name) override { *mpShown = name; }
    void ShowTimelineLock(bool) override {}

private:
    std::string* mpShown;
};

void LoadScale(FakeHost& host, const std::string& path)
{
    ScaleFile file;
    file.Load(path.c_str());
    host.Plug()->LoadScaleFile(file);
}

}  // namespace

TEST(ScaleLoading, AFileFillsAllFourSlotsAndNamesTheScale)
{
    FakeHost host;
    std::string shown;
    host.Plug()->AttachView(std::make_unique<NameView>(&shown));
    TempFolder folder;
    LoadScale(host, folder.Write("minor.txt", "; natural minor from A\n57  ; A\n59\n60\n62\n64\n65\n67"));
    const NoteGenerator& notes = host.Plug()->Notes();
    const int expected[17] = {57, 59, 60, 62, 64, 65, 67, 57, 59, 60, 62, 64, 65, 67, 57, 59, 60};
    for (int slot = 0; slot < 4; ++slot) {
        for (int i = 0; i < 17; ++i) EXPECT_EQ(notes.mScales[slot].mScaleNotes[i], expected[i]);
    }
    // Transposition 50 stays: the repeats restart at the reference note.
    EXPECT_EQ(notes.WallNote(Wall_N, 0), 50);
    EXPECT_EQ(notes.WallNote(Wall_N, 1), 52);
    EXPECT_EQ(notes.WallNote(Wall_N, 7), 50);
    EXPECT_STREQ(host.Plug()->ScaleName(), "minor");
    EXPECT_EQ(shown, "minor");

    // The name travels with the state.
    FakeHost other;
    ASSERT_TRUE(other.SetChunk(host.GetChunk()));
    EXPECT_STREQ(other.Plug()->ScaleName(), "minor");
    EXPECT_EQ(other.Plug()->Notes().WallNote(Wall_N, 1), 52);
}

TEST(ScaleLoading, AnUnreadableFileLoadsZerosButKeepsItsName)
{
    FakeHost host;
    LoadScale(host, testing::TempDir() + "no/such/my.major.scale");
    EXPECT_STREQ(host.Plug()->ScaleName(), "my.major");
    for (int i = 0; i < 17; ++i) EXPECT_EQ(host.Plug()->Notes().WallNote(Wall_E, i), 50);
}

// A project plays after a reload what it played before it, whatever numbers
// the scale file held.
TEST(ScaleLoading, AFileBeyondTheMidiRangePlaysTheSameAfterAReload)
{
    FakeHost host;
    TempFolder folder;
    LoadScale(host, folder.Write("wide.txt", "100\n300\n101\n40\n99999999\n0"));
    host.SetPlain(EParam_Transp1, 60);
    std::vector<unsigned char> chunk = host.GetChunk();
    FakeHost other;
    ASSERT_TRUE(other.SetChunk(chunk));
    const int expected[6] = {60, 127, 61, 0, 127, 0};
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(host.Plug()->Notes().WallNote(Wall_N, i), expected[i % 6]) << i;
        EXPECT_EQ(other.Plug()->Notes().WallNote(Wall_N, i), expected[i % 6]) << i;
    }
    EXPECT_EQ(other.GetChunk(), chunk);
}
