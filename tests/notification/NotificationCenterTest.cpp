#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "notification/Interfaces.h"

namespace {

std::vector<std::string> gCalls;

class TNavigator : public IViewNavigation {
 public:
  explicit TNavigator(std::string name) : FName(std::move(name)) {}
  void ShowView(std::string view, std::string parent, std::int32_t winType) override {
    gCalls.push_back(FName + ":" + view + "/" + parent + "/" + std::to_string(winType));
  }
  std::string FName;
};

class TThrowingNavigator : public IViewNavigation {
 public:
  void ShowView(std::string, std::string, std::int32_t) override { throw std::runtime_error("refused"); }
};

// Implements two interfaces, like the main window does.
class TWindow : public IViewNavigation, public IWindowSizeControl {
 public:
  void ShowView(std::string view, std::string, std::int32_t) override { gCalls.push_back("window:" + view); }
  void SetFullSize() override { gCalls.push_back("window:full"); }
  void SetMidiumSize() override { gCalls.push_back("window:medium"); }
};

class TNotANavigator : public IDeviceShutdown {
 public:
  void Shutdown() override { gCalls.push_back("shutdown"); }
};

class NotificationCenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gCalls.clear();
    TNotificationCenter::FInstance = &FCenter;
  }
  void TearDown() override { TNotificationCenter::FInstance = nullptr; }
  void Navigate(const char* view = "V") {
    FCenter.Invoker<IViewNavigation>().Call(&IViewNavigation::ShowView, view, "LayoutContent", 1);
  }
  TNotificationCenter FCenter;
};

TEST_F(NotificationCenterTest, NoSubscriberIsASilentNoOp) {
  EXPECT_TRUE(FCenter.Invoker<IDeviceShutdown>().IsNull());
  EXPECT_NO_THROW(Notify<IDeviceShutdown>(&IDeviceShutdown::Shutdown));
  EXPECT_TRUE(gCalls.empty());
}

TEST_F(NotificationCenterTest, DeliversInRegistrationOrderWithDuplicates) {
  TNavigator a("A"), b("B");
  FCenter.Add<IViewNavigation>(&a);
  FCenter.Add<IViewNavigation>(&b);
  FCenter.Add<IViewNavigation>(&a);
  Navigate("TFrameSaveLocation");
  EXPECT_EQ(gCalls, (std::vector<std::string>{"A:TFrameSaveLocation/LayoutContent/1",
                                              "B:TFrameSaveLocation/LayoutContent/1",
                                              "A:TFrameSaveLocation/LayoutContent/1"}));

  // One Remove takes out the first entry only; repeated removes do nothing more.
  gCalls.clear();
  FCenter.Remove<IViewNavigation>(&a);
  Navigate();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"B:V/LayoutContent/1", "A:V/LayoutContent/1"}));
  FCenter.Remove<IViewNavigation>(&a);
  FCenter.Remove<IViewNavigation>(&a);
  FCenter.Remove<IViewNavigation>(&a);
  gCalls.clear();
  Navigate();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"B:V/LayoutContent/1"}));
}

TEST_F(NotificationCenterTest, EmptiedListIsReusedAndRemoveWithoutListIsHarmless) {
  TNavigator a("A");
  FCenter.Remove<IWindowSizeControl>(&a);  // no list at all
  FCenter.Add<IViewNavigation>(&a);
  FCenter.Remove<IViewNavigation>(&a);
  EXPECT_FALSE(FCenter.Invoker<IViewNavigation>().IsNull());
  Navigate();
  EXPECT_TRUE(gCalls.empty());
  FCenter.Add<IViewNavigation>(&a);
  Navigate();
  EXPECT_EQ(gCalls.size(), 1u);
}

TEST_F(NotificationCenterTest, EntryNotImplementingTheInterfaceIsSkipped) {
  TNavigator a("A");
  TNotANavigator stranger;
  FCenter.Add<IViewNavigation>(&stranger);
  FCenter.Add<IViewNavigation>(&a);
  Navigate();
  EXPECT_EQ(gCalls, (std::vector<std::string>{"A:V/LayoutContent/1"}));
}

TEST_F(NotificationCenterTest, OneObjectServesSeveralInterfaces) {
  TWindow window;
  FCenter.Add<IViewNavigation>(&window);
  FCenter.Add<IWindowSizeControl>(&window);
  Navigate("X");
  Notify<IWindowSizeControl>(&IWindowSizeControl::SetFullSize);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"window:X", "window:full"}));
}

TEST_F(NotificationCenterTest, ExceptionStopsDeliveryAndReachesCaller) {
  TNavigator a("A"), c("C");
  TThrowingNavigator b;
  FCenter.Add<IViewNavigation>(&a);
  FCenter.Add<IViewNavigation>(&b);
  FCenter.Add<IViewNavigation>(&c);
  EXPECT_THROW(Navigate(), std::runtime_error);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"A:V/LayoutContent/1"}));
}

// A subscriber that calls the center again while a delivery runs, and one
// that joins the list being delivered to: the count taken at the start holds.
class TRelay : public IWindowSizeControl {
 public:
  TRelay(TNotificationCenter& center, INotification* joiner) : FCenter(center), FJoiner(joiner) {}
  void SetFullSize() override {
    gCalls.push_back("relay:full");
    FCenter.Invoker<IViewNavigation>().Call(&IViewNavigation::ShowView, "Nested", "L", 2);
    if (FJoiner) FCenter.Add<IWindowSizeControl>(FJoiner);
  }
  void SetMidiumSize() override {}
  TNotificationCenter& FCenter;
  INotification* FJoiner;
};

TEST_F(NotificationCenterTest, NestedDeliveryAndCountTakenOnce) {
  TNavigator a("A");
  TWindow late;
  TRelay relay(FCenter, &late);
  FCenter.Add<IViewNavigation>(&a);
  FCenter.Add<IWindowSizeControl>(&relay);
  Notify<IWindowSizeControl>(&IWindowSizeControl::SetFullSize);
  EXPECT_EQ(gCalls, (std::vector<std::string>{"relay:full", "A:Nested/L/2"}));
  EXPECT_EQ(FCenter.Count<IWindowSizeControl>(), 2u);
}

// A reference parameter reaches every subscriber as the caller's own object.
class TSpin : public ISetting {
 public:
  explicit TSpin(TTakePictureConfigurationKind kind, int value) : FKind(kind), FValue(value) {}
  TTakePictureConfigurationKind GetKind() override { return FKind; }
  std::int32_t GetValue() override { return FValue; }
  void SetValue(const std::int32_t value) override { FValue = value; }
  void Initialize(const TTakePictureConfigurationKind kind) override { FKind = kind; }
  void Read(TTakePictureConfiguration& c) override { c.SetValue(FKind, FValue); }
  void Write(const TTakePictureConfiguration& c) override { FValue = c.GetValue(FKind); }
  TTakePictureConfigurationKind FKind;
  int FValue;
};

TEST_F(NotificationCenterTest, ReferenceArgumentsReachSubscribers) {
  TSpin iso(TTakePictureConfigurationKind::ISO, 0), guide(TTakePictureConfigurationKind::GuideX, 7);
  FCenter.Add<ISetting>(&iso);
  FCenter.Add<ISetting>(&guide);
  TTakePictureConfiguration config;
  config.ISO = 0x48;
  Notify<ISetting>(&ISetting::Write, config);
  EXPECT_EQ(iso.FValue, 0x48);
  EXPECT_EQ(guide.FValue, 0);
  TTakePictureConfiguration out;
  Notify<ISetting>(&ISetting::Read, out);
  EXPECT_EQ(out.ISO, 0x48);
}

}  // namespace
