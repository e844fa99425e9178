#include "gui/gui_app.h"

int main(int argc, char** argv) {
  return ravelin::gui::runGui(argc, argv);
}
