#include "PaletteLink.h"

#include "PaletteGroup.h"
#include "Tarvo.h"

PaletteLink::PaletteLink(bool singleClickMode, PaletteGroup* pRovers, PaletteGroup* pObstacles, Tarvo* pPlug)
    : mSingleClickMode(singleClickMode), mpRovers(pRovers), mpObstacles(pObstacles), mpPlug(pPlug)
{
    mpRovers->SetLink(this);
    mpObstacles->SetLink(this);
}

void PaletteLink::Reset()
{
    mpRovers->mChoice = 0;
    mpObstacles->mChoice = 0;
    mpRovers->SetActive(true);
    mpObstacles->SetActive(!mSingleClickMode);
    HandOver();
}

void PaletteLink::Selected(PaletteGroup* pGroup)
{
    if (mSingleClickMode) {
        PaletteGroup* pOther = pGroup == mpRovers ? mpObstacles : mpRovers;
        pGroup->SetActive(true);
        pOther->SetActive(false);
    }
    HandOver();
}

void PaletteLink::HandOver()
{
    if (!mpPlug) return;
    mpPlug->SetRoverChoice(mpRovers->mChoice);
    mpPlug->SetObstacleChoice(mpObstacles->mChoice);
    mpPlug->SetRoverPaletteActive(mpRovers->mActive);
}
