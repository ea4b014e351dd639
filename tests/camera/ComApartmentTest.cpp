// COM on the camera's threads (Windows): the multithreaded model while the
// apartment object lives and released after it; a thread that already runs
// the single-threaded model keeps it.
#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

#include "camera/Canon.h"
#include "camera/ComApartment.h"

namespace {

// Whether the calling thread runs COM in the multithreaded model: asking for
// the single-threaded one is then refused.
bool InMultithreadedModel() {
  const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(result)) CoUninitialize();
  return result == RPC_E_CHANGED_MODE;
}

// Whether the calling thread has COM at all.
bool HasCom() {
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  return CoGetApartmentType(&type, &qualifier) == S_OK;
}

TEST(ComApartmentTest, MultithreadedWhileItLivesReleasedAfter) {
  std::thread([] {
    {
      const TComApartment com;
      EXPECT_TRUE(com.Initialized());
      EXPECT_TRUE(InMultithreadedModel());
    }
    EXPECT_FALSE(HasCom());
  }).join();
}

TEST(ComApartmentTest, AThreadInTheSingleThreadedModelKeepsIt) {
  std::thread([] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    {
      const TComApartment com;
      EXPECT_FALSE(com.Initialized());
    }
    // Not released by the apartment object: the thread's own COM is still there.
    EXPECT_TRUE(HasCom());
    EXPECT_FALSE(InMultithreadedModel());
    CoUninitialize();
    EXPECT_FALSE(HasCom());
  }).join();
}

TEST(ComApartmentTest, TheControllerHoldsItOnTheThreadThatMakesIt) {
  std::thread([] {
    TManualDispatcher dispatcher;
    {
      TCanon canon(dispatcher);
      EXPECT_TRUE(InMultithreadedModel());
    }
    EXPECT_FALSE(HasCom());
  }).join();
}

}  // namespace
