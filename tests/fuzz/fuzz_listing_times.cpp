// A listing as the camera sends it, re-based in place: the walk stays in
// the listing, and each entry whose time failed took at least 10 bytes.
#include "fuzz.h"
#include "sti/listing_times.h"

FUZZ_TARGET {
    std::vector<BYTE> listing(data, data + size);
    check(bv::rebaseListingTimes(listing.data(), static_cast<DWORD>(size)) <= size / 10);
    return 0;
}
