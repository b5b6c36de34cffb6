// COM's rule for a holder: every reference it takes is released exactly once,
// whichever way it lets go (moved on, replaced, destroyed), and a reference it
// hands out is the caller's own.
#include "base/ComRef.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

struct Counted {
    int refs = 1; // made with one reference, as a COM object is
    void AddRef() { ++refs; }
    void Release() { --refs; }
};

TEST(ComRef, ReleasesEachReferenceOnce) {
    Counted object;
    {
        ComRef<Counted> held(&object);
        ComRef<Counted> moved(std::move(held));
        ComRef<Counted> other = ComRef<Counted>::Another(&object);
        EXPECT_EQ(object.refs, 2);
        other = std::move(moved); // other's own reference goes, moved's comes
        EXPECT_EQ(object.refs, 1);
        Counted* shared = other.Share();
        EXPECT_EQ(object.refs, 2);
        shared->Release();
    }
    EXPECT_EQ(object.refs, 0);
}

} // namespace
