#include "StatusResponses.h"

namespace ltsim {

namespace {

// Status T and Status E share their red and green products (E's reach 10 nm
// further down); they differ in blue.
const SpectralProduct kWideRed {570,
    {0.06, 0.45, 29.99, 100.0, 84.92, 54.95, 25.00, 10.00, 5.00, 1.50, 0.50, 0.30, 0.15, 0.05,
        0.01}};
const SpectralProduct kWideGreen {480,
    {1.00, 5.00, 27.99, 68.08, 92.04, 100.0, 87.90, 66.07, 41.98, 21.98, 8.99, 2.50, 0.70, 0.09,
        0.01}};

} // namespace

const StatusResponse& statusT()
{
    static const StatusResponse response {kWideRed, kWideGreen,
        {350,
            {0.01, 0.02, 0.10, 0.30, 1.50, 6.00, 16.98, 39.99, 59.98, 82.04, 93.97, 100.0, 97.05,
                84.92, 65.01, 39.99, 17.99, 5.00, 0.20, 0.04}}};
    return response;
}

const StatusResponse& statusE()
{
    static const StatusResponse response {{560,
                                              {0.01, 0.06, 0.45, 29.99, 100.0, 84.92, 54.95, 25.00,
                                                  10.00, 5.00, 1.50, 0.50, 0.30, 0.15, 0.05, 0.01}},
        {470,
            {0.01, 1.00, 5.00, 27.99, 68.08, 92.04, 100.0, 87.90, 66.07, 41.98, 21.98, 8.99, 2.50,
                0.70, 0.09, 0.01}},
        {370,
            {0.01, 0.27, 2.70, 13.00, 29.99, 59.98, 82.04, 100.0, 90.99, 76.03, 46.99, 17.99, 6.00,
                0.80, 0.05, 0.01}}};
    return response;
}

const StatusResponse& statusA()
{
    static const StatusResponse response {{600,
                                              {0.37, 43.45, 100.0, 74.30, 40.18, 19.32, 7.94, 3.56,
                                                  1.46, 0.60, 0.24, 0.09, 0.04, 0.01, 0.01}},
        {500, {0.04, 6.64, 60.53, 100.0, 80.54, 44.06, 16.63, 4.06, 0.58, 0.04}},
        {420, {4.00, 65.92, 100.0, 81.66, 41.69, 10.96, 0.79, 0.04}}};
    return response;
}

const SpectralProduct& visualProduct()
{
    static const SpectralProduct product {400,
        {0.01, 0.02, 0.08, 0.28, 0.65, 1.23, 2.22, 3.82, 6.58, 10.99, 18.88, 32.58, 50.35, 66.83,
            80.35, 90.57, 97.50, 100.0, 97.50, 90.36, 79.80, 67.14, 53.83, 39.17, 27.10, 17.30,
            10.30, 5.61, 3.09, 1.54, 0.80, 0.42, 0.22, 0.11, 0.05, 0.03, 0.01, 0.01}};
    return product;
}

} // namespace ltsim
