#include "qt/gui_app.h"

int main(int argc, char** argv) {
  return ravelin::qt::runGui(argc, argv);
}
