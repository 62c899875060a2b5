// Observable subjects and their observers. Every control is a subject:
// observers (the value read-outs, for example) attach to it and are told,
// on the editor's thread, once per burst of changes.
#pragma once

#include <memory>
#include <vector>

class IObserverInterface {
public:
    virtual void Update() = 0;
    virtual ~IObserverInterface() {}
};

class ISubject {
public:
    ISubject() {}
    virtual ~ISubject();

    // Adds the observer unless it is attached already. There is no detach:
    // observers live as long as the editor. The subject does not own them.
    void Attach(IObserverInterface* pObserver);
    // When changed is set: clears it and tells every observer, in the order
    // they attached.
    void Notify();

    bool IsChanged() const { return mChanged; }
    int NObservers() const { return mpObservers ? static_cast<int>(mpObservers->size()) : 0; }

protected:
    // Created on the first attach; most controls are never observed.
    std::unique_ptr<std::vector<IObserverInterface*>> mpObservers;
    bool mChanged = false;

private:
    ISubject(const ISubject&) = delete;
    ISubject& operator=(const ISubject&) = delete;
};
