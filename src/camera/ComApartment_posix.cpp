#include "camera/ComApartment.h"

// No COM outside Windows.
TComApartment::TComApartment() = default;
TComApartment::~TComApartment() = default;
