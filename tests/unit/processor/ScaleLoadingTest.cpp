// Scale files chosen in the editor's file selector, reached through the
// processor's view interface.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "FakeHost.h"
#include "TarvoView.h"

namespace {

class ChoosingView : public ITarvoView {
public:
    void ResetCellControl(int) override {}
    void PublishStep(const Matrix&, const StepSimulation&) override {}
    void UpdateGridLayout(const Matrix&) override {}
    void SetWallDisplay(int, int, int, const int*) override {}
    void MarkStepCanvasChanged() override {}
    void MarkSequencerPanelChanged() override {}
    void ShowPanels(bool, bool) override {}
    void ShowPatternSlot(int, bool, const Matrix*) override {}
    bool PushGridSizeKnobs(double, double) override { return false; }
    void ShowScaleName(const char* name) override { mShownName = name; }
    bool SetBoundControls(int, double) override { return false; }
    void TakeChosenFile(char* path, int size) override
    {
        std::snprintf(path, size, "%s", mChosen.c_str());
        mChosen.clear();
    }
    std::string mChosen;
    std::string mShownName;
};

std::string WriteScale(const char* name, const char* text)
{
    std::string path = testing::TempDir() + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs(text, file);
    std::fclose(file);
    return path;
}

}  // namespace

TEST(ScaleLoading, AChosenFileFillsAllFourSlotsAndNamesTheScale)
{
    FakeHost host;
    ChoosingView view;
    host.Plug()->SetView(&view);
    view.mChosen = WriteScale("minor.txt", "; natural minor from A\n57  ; A\n59\n60\n62\n64\n65\n67");
    host.SetParam(EParam_FileSelect, 1.0);
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
    EXPECT_EQ(view.mShownName, "minor");
    EXPECT_EQ(host.GetParam(EParam_FileSelect), 0.0f);

    // The name travels with the state.
    std::vector<unsigned char> chunk = host.GetChunk();
    host.Plug()->SetView(nullptr);
    FakeHost other;
    ASSERT_TRUE(other.SetChunk(chunk));
    EXPECT_STREQ(other.Plug()->ScaleName(), "minor");
    EXPECT_EQ(other.Plug()->Notes().WallNote(Wall_N, 1), 52);

    // A cancelled dialog changes nothing.
    host.Plug()->SetView(&view);
    view.mChosen.clear();
    host.SetParam(EParam_FileSelect, 1.0);
    EXPECT_STREQ(host.Plug()->ScaleName(), "minor");
    host.Plug()->SetView(nullptr);
}

TEST(ScaleLoading, AnUnreadableFileLoadsZerosButKeepsItsName)
{
    FakeHost host;
    ChoosingView view;
    host.Plug()->SetView(&view);
    view.mChosen = testing::TempDir() + "no/such/my.major.scale";
    host.SetParam(EParam_FileSelect, 1.0);
    EXPECT_STREQ(host.Plug()->ScaleName(), "my.major");
    for (int i = 0; i < 17; ++i) EXPECT_EQ(host.Plug()->Notes().WallNote(Wall_E, i), 50);
    host.Plug()->SetView(nullptr);
}

// A project plays after a reload what it played before it, whatever numbers
// the scale file held.
TEST(ScaleLoading, AFileBeyondTheMidiRangePlaysTheSameAfterAReload)
{
    FakeHost host;
    ChoosingView view;
    host.Plug()->SetView(&view);
    view.mChosen = WriteScale("wide.txt", "100\n300\n101\n40\n99999999\n0");
    host.SetParam(EParam_FileSelect, 1.0);
    host.SetPlain(EParam_Transp1, 60);
    std::vector<unsigned char> chunk = host.GetChunk();
    host.Plug()->SetView(nullptr);
    FakeHost other;
    ASSERT_TRUE(other.SetChunk(chunk));
    const int expected[6] = {60, 127, 61, 0, 127, 0};
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(host.Plug()->Notes().WallNote(Wall_N, i), expected[i % 6]) << i;
        EXPECT_EQ(other.Plug()->Notes().WallNote(Wall_N, i), expected[i % 6]) << i;
    }
    EXPECT_EQ(other.GetChunk(), chunk);
}
