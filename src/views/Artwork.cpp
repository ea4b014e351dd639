#include "views/Artwork.h"

#include <QtGlobal>

static void RegisterMenuArtwork() { Q_INIT_RESOURCE(menu); }
static void RegisterShootingArtwork() { Q_INIT_RESOURCE(shooting); }

void InitViewArtwork() {
  static const bool registered = (RegisterMenuArtwork(), RegisterShootingArtwork(), true);
  (void)registered;
}
