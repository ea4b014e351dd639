// The menus' artwork lives in the menu library, a static library: its
// resources are registered once, before a menu loads its first picture.
#pragma once

void InitMenuArtwork();
