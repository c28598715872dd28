#pragma once
// What the other pages need from the instrument page: whether the
// instrument has been initialised, its remote-mode live reading (the 200 ms
// poll of the instrument's key), which must rest while the density
// parameters are edited and sent and end when the service link takes the
// port, its illuminant selection, which follows the illumination chosen
// there, and the port the service link opens. The instrument page
// implements it and hands it to CTaviDens and CService.
namespace lt {

class InstrumentPageLink {
public:
    virtual ~InstrumentPageLink() = default;

    virtual bool instrumentInitialised() const = 0;

    // Stops the live reading; true when it was running.
    virtual bool pauseLiveReading() = 0;
    // Starts it again (after pauseLiveReading returned true).
    virtual void resumeLiveReading() = 0;

    // illuminationType as in slot 43 of the density parameters.
    virtual void selectIlluminant(int illuminationType) = 0;

    // The COM number chosen on the page.
    virtual int portNumber() const = 0;
    // A Lumatrak S opened by "Init Device" holds the port already; the
    // service link then uses it as it is.
    virtual bool portOpenForService() const = 0;
    // Ends remote mode without storing it: the poll stops and the remote
    // button reads "Remote Off", so that nothing talks into the loader.
    virtual void endLiveReading() = 0;
};

} // namespace lt
