// The tests' side of the data source: the host that plays the manager and
// the application, and the sample cards its pictures come from.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/common/twain_host.h"

namespace twaintest {

using bvtwain::Manager;
using TwainSession = bvtwain::TwainHost;

// bvcl2sti.ds beside the test program, for a host.
std::wstring sourcePath();

// The sample cards as the simulated camera's volumes CF and SD.
void insertSampleCards();
// Every JPEG file of the sample cards in the camera's listing order, with
// its bytes.
struct CardPicture {
    std::string path;
    std::vector<BYTE> bytes;
};
std::vector<CardPicture> samplePictures();

}  // namespace twaintest
