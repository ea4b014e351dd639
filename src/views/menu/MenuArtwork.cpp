#include "views/menu/MenuArtwork.h"

#include <QtGlobal>

static void RegisterMenuArtwork() { Q_INIT_RESOURCE(menu); }

void InitMenuArtwork() {
  static const bool registered = (RegisterMenuArtwork(), true);
  (void)registered;
}
