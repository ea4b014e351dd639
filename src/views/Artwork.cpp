#include "views/Artwork.h"

#include <QtGlobal>

static void RegisterMenuArtwork() { Q_INIT_RESOURCE(menu); }

void InitViewArtwork() {
  static const bool registered = (RegisterMenuArtwork(), true);
  (void)registered;
}
