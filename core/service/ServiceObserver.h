#pragma once
// What the service page shows, as the service logic reports it: the message
// line, the progress bar and whether a download runs. Calls come from the
// user-interface thread for the page's own buttons and from the download's
// worker thread while it runs; a view carries the latter over itself.
#include <string>

namespace lt {

class ServiceObserver {
public:
    virtual ~ServiceObserver() = default;

    virtual void messageLineChanged(const std::string& text) { (void)text; }
    virtual void progressRangeChanged(int low, int high)
    {
        (void)low;
        (void)high;
    }
    virtual void progressChanged(int position) { (void)position; }
    // A download started (true) or ended (false); the page's buttons follow.
    virtual void downloadRunningChanged(bool running) { (void)running; }
};

} // namespace lt
