// The instrument object's array-spectrometer state lives on the heap: about
// 30 KB of per-pixel references and colour tables.

#include "instrument/spectrometer/SpectrometerState.h"

CTaviSpec::SpectrometerStorage::SpectrometerStorage() : m_state(new SpectrometerState)
{
}

CTaviSpec::SpectrometerStorage::~SpectrometerStorage()
{
    delete m_state;
}
