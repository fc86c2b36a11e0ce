// The sound files are looked up in the working directory first, then in the data directories.
#include "frontend/qt/qt_sound.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void Touch(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(QtSoundOutput, LooksInTheWorkingDirectoryFirstThenTheDataDirectories) {
  QTemporaryDir work, first, second;
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(work.path()));
  QtSoundOutput sound({first.path(), second.path()});
  EXPECT_EQ(sound.Locate("bingo.wav"), QString());
  Touch(second.filePath("bingo.wav"));
  EXPECT_EQ(sound.Locate("bingo.wav"), second.filePath("bingo.wav"));
  Touch(first.filePath("bingo.wav"));
  EXPECT_EQ(sound.Locate("bingo.wav"), first.filePath("bingo.wav"));
  Touch(work.filePath("bingo.wav"));
  EXPECT_EQ(sound.Locate("bingo.wav"), QDir(work.path()).absoluteFilePath("bingo.wav"));
  EXPECT_EQ(sound.Locate("miss.wav"), QString());
  // A missing file plays nothing and fails nothing.
  sound.Play("miss.wav");
  ASSERT_TRUE(QDir::setCurrent(previous));
}

}  // namespace
