// The working screen as the program builds it (the tab menu with its save
// popup, the mode sub-menu, the shooting view) over the shooting view's
// fixture, with the simulated camera and board, driven by clicks through the
// window system.
#pragma once

#include "ShootingViewFixture.h"
#include "views/common/ViewHost.h"
#include "views/viewer/FrameViewerOne.h"
#include "views/viewer/FrameViewerThree.h"

constexpr int RestMs = 15000;

class ShootingScreen : public ShootingView {
 protected:
  void SetUp() override {
    ShootingView::SetUp();
    if (HasFatalFailure()) return;
    // The real tab menu answers for the save popup here.
    FCenter.Remove<ISavePopup>(&FPopup);
    TViewRegistry::Register<TFrameTabSub>("TFrameTabSub");
    TViewRegistry::Register<TFrameSulo>("TFrameSulo");
    TViewRegistry::Register<TFrameViewerOne>("TFrameViewerOne");
    TViewRegistry::Register<TFrameViewerThree>("TFrameViewerThree");
    // As the program does: an error leaving a handler is shown in a message box.
    SetErrorHandler([this](std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        FDialogs.ShowError("Sulo", e.what());
      } catch (...) {
        FDialogs.ShowError("Sulo", "Unknown error");
      }
    });
    FWindow = std::make_unique<TControl>();
    FWindow->SetSize(1086, 791);
    FMenu = new TFrameTabMenu(FWindow.get());
    FMenu->SetAlign(TAlignLayout::Client);
    FWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    ASSERT_TRUE(View());
    ASSERT_TRUE(Pump([&] { return !View()->ImageLiveView->Bitmap().IsEmpty(); }));
  }

  void TearDown() override {
    FWindow.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetErrorHandler(nullptr);
    ShootingView::TearDown();
  }

  TFrameTabSub* Sub() const { return qobject_cast<TFrameTabSub*>(CurrentHostedView(FMenu->LayoutTabContent)); }
  TFrameSulo* View() const {
    TFrameTabSub* sub = Sub();
    return sub ? qobject_cast<TFrameSulo*>(CurrentHostedView(sub->LayoutContent)) : nullptr;
  }

  // Clicks through the window system, so a cover over a control takes the click.
  void Press(TControl* control) {
    ClickAt(FWindow.get(), WindowPoint(control, QPointF(control->Width() / 2, control->Height() / 2)));
    Pump([] { return true; });
  }
  void ChooseMode(TTakePictureMode mode) {
    TFrameTabSub* sub = Sub();
    Press(mode == TTakePictureMode::Portrait ? sub->TavImageButtonPortrait
          : mode == TTakePictureMode::UV     ? sub->TavImageButtonUV
                                             : sub->TavImageButtonSulo);
    PumpFor(200);
  }
  void ShootButton() { Press(View()->TavImageButtonShoot); }

  // The shot is over and nothing covers the screen or holds the tabs.
  bool AtRest() const {
    TFrameSulo* view = View();
    return view && view->FShotState == TFrameSulo::TShotState::Idle && view->RectangleDisableBG->isHidden() &&
           FMenu->LayoutDisableBG->isHidden() && FMenu->LayoutSavePopup->isHidden() &&
           FMenu->TavImageButtonTabShoot->isEnabled() && FMenu->TavImageButtonTabViewer->isEnabled();
  }
  // The picture is on screen and the popup asks what to do with it.
  bool Offered() const {
    TFrameSulo* view = View();
    return view && !view->ImageTakePicture->isHidden() && !FMenu->LayoutSavePopup->isHidden() &&
           !FMenu->TavImageButtonSave->isHidden();
  }
  bool Noticed() const { return View() && !View()->RectangleNotice->isHidden(); }
  QString Notice() const { return Noticed() ? View()->LabelNotice->Text() : QString(); }
  // The notice over the photo pane is shown and says `words`.
  bool NoticeSays(const char* words) const { return Notice().contains(QString::fromUtf8(words)); }

  // Back at rest within 15 s of `since`.
  void ExpectAtRestWithin(Clock::time_point since) {
    ASSERT_TRUE(Pump([&] { return AtRest(); }, RestMs + 2000));
    EXPECT_LT(Ms(since, Clock::now()), RestMs);
  }

  // The tabs work: away to the viewer and back to a new shooting view.
  void ExpectTabsWork() {
    Press(FMenu->TavImageButtonTabViewer);
    ASSERT_TRUE(Pump([&] { return !View() && Sub() && CurrentHostedView(Sub()->LayoutContent); }, 5000));
    Press(FMenu->TavImageButtonTabShoot);
    ASSERT_TRUE(Pump([&] { return View() != nullptr; }, 5000));
  }

  // A shot taken with the shoot button and saved with the popup's Save.
  void ExpectShotSaved() {
    const std::size_t files = Saved().size();
    ASSERT_TRUE(AtRest());
    ShootButton();
    ASSERT_TRUE(Pump([&] { return Offered(); })) << Notice().toStdString();
    Press(FMenu->TavImageButtonSave);
    ASSERT_TRUE(Pump([&] { return Saved().size() == files + 1; }, 5000));
    ASSERT_TRUE(Pump([&] { return AtRest(); }, 5000));
  }

  TFrameTabMenu* FMenu = nullptr;
};
