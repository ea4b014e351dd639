// The views' artwork lives in the views library, a static library: its
// resources are registered once, before a view loads its first picture.
#pragma once

void InitViewArtwork();
