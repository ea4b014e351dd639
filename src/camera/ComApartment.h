// COM for the calling thread, in the multithreaded model that the maker's
// camera library expects of the threads calling it (Windows; elsewhere this
// does nothing).
//
// COM is initialised when the object is made and released when it is
// destroyed, on the same thread, but only when this object's initialisation
// counted: a thread that already runs COM in the single-threaded model keeps
// it (that result is traced, and the camera calls go on as they can).
#pragma once

class TComApartment {
 public:
  TComApartment();
  ~TComApartment();
  TComApartment(const TComApartment&) = delete;
  TComApartment& operator=(const TComApartment&) = delete;

  // True when this object initialised COM and owes the release.
  bool Initialized() const { return FInitialized; }

 private:
  bool FInitialized = false;
};
