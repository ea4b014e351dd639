// What the operator is told on the working screen when all goes well: where
// a saved picture went, and after a repeat run how many went where.
#include "ShootingScreenFixture.h"

namespace {

QString Folder(const std::filesystem::path& file) {
  return QDir::toNativeSeparators(QString::fromStdString(file.parent_path().string()));
}

TEST_F(ShootingScreen, ASaveTellsWhereThePictureWentForAWhile) {
  ChooseMode(TTakePictureMode::Portrait);
  ASSERT_TRUE(AtRest());
  ShootButton();
  ASSERT_TRUE(Pump([&] { return Offered(); }));
  EXPECT_FALSE(Noticed());
  Press(FMenu->TavImageButtonSave);
  ASSERT_TRUE(Pump([&] { return Saved().size() == 1; }, 5000));
  const std::filesystem::path file = Saved().back();
  EXPECT_TRUE(Notice().contains(QString::fromStdString(file.filename().string()))) << Notice().toStdString();
  EXPECT_TRUE(Notice().contains(Folder(file))) << Notice().toStdString();
  EXPECT_FALSE(FMenu->ImageSaveSuccess->isHidden()) << "the popup says so as well";
  ASSERT_TRUE(Pump([&] { return !Noticed(); }, TFrameSulo::SavedNoticeMs + 3000)) << "the notice goes by itself";

  // A repeat run, as the settings window starts one: one notice at its end.
  View()->RepeatShoot(3);
  ASSERT_TRUE(Pump([&] { return Saved().size() == 4 && AtRest(); }, 30000));
  EXPECT_TRUE(NoticeSays("3장")) << Notice().toStdString();
  EXPECT_TRUE(Notice().contains(Folder(file))) << Notice().toStdString();
}

}  // namespace
