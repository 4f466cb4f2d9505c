// No desktop named: the plain grid, and the wallpaper nitrogen or feh recorded.
#ifdef __linux__

#include "tests/support/environment_home.h"

namespace {

using Standalone = EnvironmentHome;

TEST_F(Standalone, SettersWithoutADesktop) {
    const std::string picture = Picture("nitro.jpg");
    Write(home / ".config/nitrogen/bg-saved.cfg", "[xin_1]\nfile=/elsewhere.png\n\n[xin_-1]\nfile=" + picture +
                                                      "\nmode=5\nbgcolor=# 0ff 0\n");
    EXPECT_EQ(In(""), picture + "|0,255,0|");
    // feh's record comes first, read as text and never run.
    const std::string fed = Picture("it's here.png");
    Write(home / ".fehbg", "#!/bin/sh\nfeh --no-fehbg --bg-scale '" + home.string() + "/pictures/it'\\''s here.png' \n");
    EXPECT_EQ(In(""), fed + "||");
}

}  // namespace

#endif  // __linux__
