#include "qt/url_dialog.h"
#include "qt/dialog_layout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/options_rules.h"
#include "qt/field_text.h"
#include "qt/ui_text.h"
#include "qt/window_metrics.h"

namespace ravelin::qt {

UrlDialog::UrlDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
  setModal(true);
  info_ = new QLabel(this);
  kind_ = new QComboBox(this);
  // Shown translated, known by the untranslated name.
  for (const char* name : app::kUrlKindNames)
    kind_->addItem(uiText(name), QString::fromLatin1(name));
  url_ = new QLineEdit(this);
  info_->setBuddy(url_);
  ok_ = new QPushButton(uiText(kOkCaption), this);
  auto* cancel = new QPushButton(uiText(kCancelCaption), this);
  ok_->setDefault(true);
  cancel->setAutoDefault(false);

  auto* fields = new QHBoxLayout;
  fields->addWidget(kind_);
  fields->addWidget(url_, 1);
  auto* buttons = buttonRow({ok_, cancel}, ButtonAlign::Right);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(info_);
  layout->addLayout(fields);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  setMinimumWidth(480);

  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void UrlDialog::prepare(const char* caption, const char* info, const runtime::UrlSource& source) {
  setWindowTitle(uiText(caption));
  info_->setText(uiText(info));
  kind_->setCurrentIndex(kind_->findData(QString::fromLatin1(app::urlKindName(source).c_str())));
  shown_ = source.location;
  url_->setText(fieldText(shown_));
  url_->setFocus(Qt::OtherFocusReason);
  url_->selectAll();
}

void UrlDialog::prepareAdd() {
  prepare(kUrlAddCaption, kUrlAddLabel, {runtime::SourceKind::HTML, "http://"});
}

void UrlDialog::prepareEdit(const runtime::UrlSource& source) {
  prepare(kUrlEditCaption, kUrlEditLabel, source);
}

std::optional<runtime::UrlSource> UrlDialog::run() {
  if (exec() != QDialog::Accepted) return std::nullopt;
  return entry();
}

runtime::UrlSource UrlDialog::entry() const {
  return app::urlFromDialog(app::urlKindFromName(kind_->currentData().toString().toStdString()),
                            fieldBytes(url_->text(), shown_));
}

}  // namespace ravelin::qt
