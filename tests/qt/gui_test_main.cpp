#include <gtest/gtest.h>

#include <QApplication>

#include "qt/qt_translations.h"
#include "runtime/translate.h"

// One QApplication for all GUI tests, on the offscreen platform unless told otherwise.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The language of the environment, as the program takes it (ctest sets English).
  ravelin::runtime::startTranslation();
  ravelin::qt::loadQtTranslations();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
