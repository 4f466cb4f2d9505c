// The entry's Win32 seam: joining the single-threaded apartment, including a thread that is
// already in the multithreaded one, and leaving only what was joined.
#include "app/platform.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <thread>

namespace {

// Each case runs on a thread of its own: an apartment belongs to a thread.
template <class Body>
void OnFreshThread(Body body) {
    std::thread thread(body);
    thread.join();
}

APTTYPE CurrentApartment() {
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    if (FAILED(CoGetApartmentType(&type, &qualifier))) return static_cast<APTTYPE>(-2);
    return type;
}

TEST(Apartment, JoinsSingleThreadedAndLeaves) {
    OnFreshThread([] {
        EXPECT_EQ(JoinApartment(), ApartmentResult::Joined);
        const APTTYPE type = CurrentApartment();
        EXPECT_TRUE(type == APTTYPE_STA || type == APTTYPE_MAINSTA) << type;
        LeaveApartment();
        // Left for good: joining in the other mode now works, which it would not while joined.
        const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(again, S_OK);
        if (SUCCEEDED(again)) CoUninitialize();
    });
}

TEST(Apartment, AThreadAlreadyInTheOtherModeCountsAsJoinedAndIsNotLeft) {
    OnFreshThread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        EXPECT_EQ(JoinApartment(), ApartmentResult::Joined);
        EXPECT_EQ(CurrentApartment(), APTTYPE_MTA);
        LeaveApartment();
        // The multithreaded apartment still belongs to whoever joined it first.
        EXPECT_EQ(CurrentApartment(), APTTYPE_MTA);
        CoUninitialize();
    });
}

}  // namespace
