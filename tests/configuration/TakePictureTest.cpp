#include <gtest/gtest.h>

#include "configuration/TakePicture.h"

using K = TTakePictureConfigurationKind;

TEST(TakePictureConfigurationTest, NewRecordReadsZeroForEveryKind) {
  TTakePictureConfiguration c;
  for (int k = 0; k < TakePictureConfigurationKindCount; ++k) EXPECT_EQ(c.GetValue(static_cast<K>(k)), 0) << k;
}

TEST(TakePictureConfigurationTest, EveryKindAddressesItsOwnField) {
  // Writing a distinct value per kind and reading all back catches two kinds
  // sharing a field or a kind writing the wrong one.
  TTakePictureConfiguration c;
  for (int k = 1; k < TakePictureConfigurationKindCount; ++k) c.SetValue(static_cast<K>(k), 100 + k);
  for (int k = 1; k < TakePictureConfigurationKindCount; ++k) EXPECT_EQ(c.GetValue(static_cast<K>(k)), 100 + k) << k;
  EXPECT_EQ(c.ColorTone, 100 + static_cast<int>(K::Hue));
  EXPECT_EQ(c.GuideY, 100 + static_cast<int>(K::GuideY));
  EXPECT_FALSE(c.Active);
}

TEST(TakePictureConfigurationTest, ActivationIsSetOnlyByOneAndValuesAreUnchecked) {
  TTakePictureConfiguration c;
  c.SetValue(K::Activation, 1);
  EXPECT_TRUE(c.Active);
  EXPECT_EQ(c.GetValue(K::Activation), 1);
  c.SetValue(K::Activation, 2);
  EXPECT_FALSE(c.Active);
  EXPECT_EQ(c.GetValue(K::Activation), 0);
  c.SetValue(K::GuideX, -5);
  EXPECT_EQ(c.GetValue(K::GuideX), -5);
  EXPECT_EQ(c.GetValue(static_cast<K>(42)), 0);
}
