#pragma once

#include <cstdint>
#include <string>

class Quorvel;

// Whatever shows the status of a run: the window's console page. Console mode has none and
// writes console lines instead. Implementations serialise their own lists; every call may come
// from a worker thread except EnableRunControls, ClearLists and KeepAlive, which the thread
// that runs the project makes.
class StatusPage {
public:
    virtual ~StatusPage() = default;
    virtual void ClearLists() = 0;
    virtual void EnableRunControls(bool running) = 0;
    // Adds a row for the event to the list of active events; returns the row's index.
    virtual int AddActiveRow(Quorvel& event, const std::string& text) = 0;
    virtual void SetRowStatus(int row, const std::string& text) = 0;
    // After every execution of the event of `row`: how long its check took and whether it failed.
    virtual void Executed(int row, uint32_t checkTime, bool failed)
    {
        (void)row, (void)checkTime, (void)failed;
    }
    // Called between waits while a run lasts: repaint and serve pending window messages.
    virtual void KeepAlive() = 0;
};
