// MATE: caja's own icons and recorded places (nemo records them the same way), and MATE's
// background keys.
#ifdef __linux__

#include "tests/support/environment_home.h"

namespace {

using Mate = EnvironmentHome;

TEST_F(Mate, CajaOwnIconsAndRecordedPlaces) {
    // caja shows Computer, Home and Trash by default, the Trash after the files. Nothing recorded:
    // a column from (64, 22) whose rows follow the labels, 20 * ceil((box + 10) / 20) apart with a
    // box of 48 + 4 + the label's lines (17 px each in Sans 10): 80 px, 120 after three lines.
    Write(home / "Desktop/notes for the meeting on tuesday.txt", "text");
    const std::string user = std::string(g_get_user_name()) + "'s Home";
    EXPECT_EQ(Icons("MATE"), (IconList{"Computer|64|22|48", user + "|64|102|48", "a.txt|64|182|48", "b.txt|64|262|48",
                                    "c.txt|64|342|48", "notes for the meeting on tuesday.txt|64|422|48",
                                    "Trash|64|542|48"}));
    // Once anything is recorded, recorded icons stay (kept 10 px inside: b.txt from 2500,-40, the
    // 1 x 2 px bounds of an unlabelled item) and the others go, Home first and the files by
    // descending name, to the first spot down the 78 x 20 px cells that their box leaves free:
    // y = -18 raised to 10, then 102 below Home's box (rows 0-3), 222 below the three lines.
    Write(home / ".config/caja/desktop-metadata", "[trash]\ncaja-icon-position=400,500\n");
    RunTool({"gio", "set", Path("b.txt"), "metadata::caja-icon-position", "2500,-40"},
            {{"DBUS_SESSION_BUS_ADDRESS", SessionBus()}});
    EXPECT_EQ(Icons("MATE"), (IconList{"Computer|64|422|48", user + "|64|10|48", "a.txt|64|322|48", "b.txt|1909|10|48",
                                    "c.txt|64|222|48", "notes for the meeting on tuesday.txt|64|102|48",
                                    "Trash|400|500|48"}));
    Set("org.mate.background", "show-desktop-icons", "false");
    EXPECT_EQ(Icons("MATE"), IconList{});
}

TEST_F(Mate, ReadsAPathTwelveDigitColoursAndItsDefaultGradient) {
    // The default picture names an unexpanded ${prefix}: no picture, the default vertical gradient.
    EXPECT_EQ(In("MATE"), "|88,145,188|V 88,145,188>60,143,37 E");
    const std::string picture = Picture("mate.png");
    Set("org.mate.background", "picture-filename", picture);
    Set("org.mate.background", "primary-color", "#ffff80800000");
    Set("org.mate.background", "color-shading-type", "solid");
    EXPECT_EQ(In("MATE"), picture + "|255,128,0|");
    Set("org.mate.background", "picture-filename", "none");
    EXPECT_EQ(In("MATE"), "|255,128,0|");
    Set("org.mate.background", "picture-filename", "file://" + picture);  // a URI is not a path MATE reads
    EXPECT_EQ(In("MATE"), picture + "|255,128,0|");
}

}  // namespace

#endif  // __linux__
