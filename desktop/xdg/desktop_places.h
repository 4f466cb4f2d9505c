// The icons a desktop shows for places rather than files (Home, Trash, Computer, File System,
// Network, Documents) and for mounted volumes, as the environments share them. Calls no
// environment.
#pragma once

#include "desktop/xdg/desktop_folder.h"

#include <string>
#include <vector>

// An icon the desktop shows for a place rather than a file.
enum class SpecialPlace { Home, Trash, Computer, FileSystem, Network, Documents };
XdgDesktopItem SpecialItem(SpecialPlace place, const std::string& label);

// The mounted volumes GIO's volume monitor knows, in its order, labelled and iconed as it says.
std::vector<XdgDesktopItem> MountedVolumes();
