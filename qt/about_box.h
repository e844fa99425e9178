#pragma once
#include <QDialog>
#include <QLabel>
#include <string>
#include <utility>
#include <vector>

#include "desk/about_facts.h"

namespace ravelin::qt {

using desk::AboutFacts;
using desk::builtAboutFacts;

// A web address that opens in the desktop's browser when clicked; red under the mouse,
// blue otherwise.
class LinkLabel : public QLabel {
 public:
  LinkLabel(const QString& address, QWidget* parent = nullptr);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void setColour(unsigned rgb);
};

// "About Ravelin v<version>": the product's name, version, licence and web address, and
// a Close button. Modal, centred on the main window.
class AboutBox : public QDialog {
 public:
  explicit AboutBox(const AboutFacts& facts = builtAboutFacts(), QWidget* parent = nullptr);

  // The texts of the box's lines, caption and value, top to bottom.
  QStringList lines() const;
  LinkLabel* homepageLink() const { return link_; }

 private:
  std::vector<std::pair<QLabel*, QLabel*>> rows_;
  LinkLabel* link_ = nullptr;
};

}  // namespace ravelin::qt
