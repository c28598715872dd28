#pragma once
// What the colour metrics page needs from the instrument page: whether the
// instrument has been initialised, its remote-mode live reading (the 200 ms
// poll of the instrument's key), which must rest while the density
// parameters are edited and sent, and its illuminant selection, which
// follows the illumination chosen there. The instrument page implements it
// and hands it to CTaviDens::setInstrumentPage.
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
};

} // namespace lt
