#include "ISubject.h"

#include <algorithm>

ISubject::~ISubject() {}

void ISubject::Attach(IObserverInterface* pObserver)
{
    if (!pObserver) return;
    if (!mpObservers) mpObservers.reset(new std::vector<IObserverInterface*>());
    if (std::find(mpObservers->begin(), mpObservers->end(), pObserver) == mpObservers->end()) {
        mpObservers->push_back(pObserver);
    }
}

void ISubject::Notify()
{
    if (!mpObservers || !mChanged) return;
    mChanged = false;
    for (IObserverInterface* pObserver : *mpObservers) pObserver->Update();
}
