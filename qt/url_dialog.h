#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "runtime/url_source.h"

namespace ravelin::qt {

// "Ravelin: OPTIONS: Add URL" / "Ravelin: OPTIONS: Edit URL": one entry of the URL list,
// its kind from a drop-down list and its location. A modal dialog on top of the others.
class UrlDialog : public QDialog {
 public:
  explicit UrlDialog(QWidget* parent = nullptr);

  // Prepares the dialog for a new entry ("http://", kind "HTML-File") or for the entry
  // of a row, without showing it.
  void prepareAdd();
  void prepareEdit(const runtime::UrlSource& source);
  // Shows the prepared dialog modally: the entry as OK leaves it, or nothing on Cancel.
  std::optional<runtime::UrlSource> run();
  // The entry of the controls, with the "http://" rule applied.
  runtime::UrlSource entry() const;

  QLabel* infoLabel() const { return info_; }
  QComboBox* kindBox() const { return kind_; }
  QLineEdit* urlBox() const { return url_; }
  QPushButton* okButton() const { return ok_; }

 private:
  void prepare(const char* caption, const char* info, const runtime::UrlSource& source);

  QLabel* info_;
  QComboBox* kind_;
  QLineEdit* url_;
  QPushButton* ok_;
  // The bytes of the location as the dialog opened with it: an untouched text keeps them.
  std::string shown_;
};

}  // namespace ravelin::qt
