#pragma once
// What the firmware download tells the service page while it runs. Every
// call arrives on the download's worker thread; a view that draws carries
// it over to the user-interface thread itself.
#include <string>

namespace lt {

class DownloadSink {
public:
    virtual ~DownloadSink() = default;

    // The page's message line reads text now.
    virtual void messageLine(const std::string& text) = 0;
    // The progress bar's range and position, in image bytes.
    virtual void progressRange(int low, int high) = 0;
    virtual void progress(int position) = 0;
    // The instrument entered (true) or left (false) its loader.
    virtual void serviceActive(bool active) = 0;
};

} // namespace lt
