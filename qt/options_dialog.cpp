#include "qt/options_dialog.h"
#include "qt/dialog_layout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <type_traits>

#include "app/options_rules.h"
#include "app/settings_store.h"
#include "platform/user_folders.h"
#include "qt/field_text.h"
#include "qt/ui_text.h"
#include "qt/url_list_box.h"
#include "qt/window_metrics.h"
#include "runtime/translate.h"

namespace ravelin::qt {

namespace {

QLabel* label(const char* text, QWidget* parent) {
  return new QLabel(uiText(text), parent);
}

QLineEdit* lineEdit(const char* key, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(key));
  return edit;
}

QCheckBox* checkBox(const char* key, const char* caption, QWidget* parent) {
  auto* box = new QCheckBox(uiText(caption), parent);
  box->setObjectName(QString::fromLatin1(key));
  return box;
}

// A spin box of the range; one that is not typeable changes only by its arrows.
QSpinBox* spinBox(const char* key, int min, int max, bool typeable, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QString::fromLatin1(key));
  spin->setRange(min, max);
  spin->setMinimumWidth(kOptionsSpinWidth);
  if (!typeable) spin->findChild<QLineEdit*>()->setReadOnly(true);
  return spin;
}

// A field at least wide enough to show text whole, whatever the font and the scale.
void fitText(QLineEdit* edit, const QString& text) {
  QStyleOptionFrame frame;
  frame.initFrom(edit);
  frame.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit);
  const QMargins margins = edit->textMargins();
  // The field keeps 2 pixels beside its text on either side, and 1 more for the cursor.
  const int textWidth =
      edit->fontMetrics().horizontalAdvance(text) + 2 * 2 + 1 + margins.left() + margins.right();
  const QSize size(textWidth, edit->sizeHint().height());
  edit->setMinimumWidth(
      edit->style()->sizeFromContents(QStyle::CT_LineEdit, &frame, size, edit).width());
}

// A label above its control, the control held at its natural width.
void addLabelled(QGridLayout* grid, int row, const char* text, QWidget* control) {
  auto* caption = label(text, control->parentWidget());
  caption->setBuddy(control);
  grid->addWidget(caption, row, 0);
  grid->addWidget(control, row, 1, Qt::AlignLeft);
}

// Qt's own file dialog, the same on every desktop and reachable by tests.
void useQtDialog(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
}

}  // namespace

OptionsDialog::OptionsDialog(app::AppSession& session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      session_(session),
      ctx_(session.context()),
      presenter_(session, *this) {
  setWindowTitle(uiText(kOptionsDialogCaption));
  setModal(true);
  tabs_ = new QTabWidget(this);
  tabs_->setDocumentMode(true);
  tabs_->addTab(buildGeneralTab(), uiText(kOptionsTabs[0]));
  tabs_->addTab(buildUpdateTab(), uiText(kOptionsTabs[1]));
  tabs_->addTab(buildVerifyTab(), uiText(kOptionsTabs[2]));
  tabs_->addTab(buildScriptTab(), uiText(kOptionsTabs[3]));

  auto* okButton = new QPushButton(uiText(kOkCaption), this);
  auto* cancel = new QPushButton(uiText(kCancelCaption), this);
  okButton->setDefault(true);
  cancel->setAutoDefault(false);
  auto* buttons = buttonRow({okButton, cancel}, ButtonAlign::Right);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addLayout(buttons);

  connect(okButton, &QPushButton::clicked, this, [this] { ok(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* OptionsDialog::buildGeneralTab() {
  auto* tab = new QWidget;
  auto* edPath = lineEdit("EDPath", tab);
  auto* search = new QPushButton(uiText(kSearchCaption), tab);
  auto* edFilename = lineEdit("EDFilename", tab);

  // The client is aMule: its programs on this machine take servers from the ED2KLinks
  // file, any client takes them through its External Connection. (The Windows build names
  // eDonkey2000's "Normal GUI client" and "Command line client".)
  auto* type = new QGroupBox(uiText(desk::kClientTypeGroup), tab);
  type->setObjectName(QStringLiteral("EDGUI"));
  auto* guiClient = new QRadioButton(uiText(desk::kLocalClientCaption), type);
  auto* cmdClient = new QRadioButton(uiText(desk::kRemoteClientCaption), type);
  auto* ecHost = lineEdit("ECHost", type);
  auto* ecPort = spinBox("ECPort", 1, 65535, true, type);
  ecPassword_ = lineEdit("ECPassword", type);
  ecPassword_->setEchoMode(QLineEdit::Password);
  fitText(ecHost, QStringLiteral("255.255.255.255"));
  fitText(ecPassword_, uiText(kPasswordStoredPlaceholder));
  // The connection's address and port on one row, its password under them.
  auto* ec = new QGridLayout;
  ec->addWidget(label(desk::kEcLabel, type), 0, 0);
  ec->addWidget(ecHost, 0, 1);
  ec->addWidget(label(":", type), 0, 2);
  ec->addWidget(ecPort, 0, 3);
  ec->addWidget(label(desk::kPasswordLabel, type), 1, 0);
  ec->addWidget(ecPassword_, 1, 1);
  ec->setColumnStretch(1, 1);
  auto* typeLayout = new QVBoxLayout(type);
  typeLayout->addWidget(guiClient);
  typeLayout->addWidget(cmdClient);
  typeLayout->addLayout(ec);

  auto* metTags = checkBox("MetAddressTags", desk::kMetTagsCaption, tab);
  auto* proxyAddr = lineEdit("ProxyAddr", tab);
  auto* proxyPort = lineEdit("ProxyPort", tab);
  // Digits only, as many as a port has.
  proxyPort->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), proxyPort));
  fitText(proxyPort, QStringLiteral("65535"));
  proxyPort->setMaximumWidth(proxyPort->minimumWidth());  // five digits need no more
  // The log folder as this run has it (the state folder, or beside a portable ravelin.ini),
  // the home folder written "~" to keep the line short.
  std::string logFolder = session_.places().logDir;
  const std::string home = platform::homeDirectory();
  if (!home.empty() && logFolder.starts_with(home + "/")) logFolder.replace(0, home.size(), "~");
  auto* log = new QCheckBox(fieldText(runtime::fillIn(_(desk::kLogCaption), {logFolder})), tab);
  log->setObjectName(QStringLiteral("LOG"));
  auto* ipFilter = lineEdit("IPFilterFile", tab);
  auto* browse = new QPushButton(uiText(kBrowseCaption), tab);
  auto* updateInfo = lineEdit("UpdateInfoURL", tab);
  iniPath_ = new QLineEdit(fieldText(session_.iniPath()), tab);
  iniPath_->setReadOnly(true);
  fitText(iniPath_, iniPath_->text());
  auto* logDir = new QLineEdit(fieldText(session_.places().logDir), tab);
  logDir->setObjectName(QStringLiteral("LogFolder"));
  logDir->setReadOnly(true);

  auto* grid = new QGridLayout;
  // (The Windows build: "Path to EDonkey2000 directory:", "EDonkey2000 EXE-Filename:".)
  grid->addWidget(label(desk::kClientFolderLabel, tab), 0, 0, 1, 3);
  grid->addWidget(edPath, 1, 0, 1, 3);
  grid->addWidget(search, 1, 3);
  grid->addWidget(label(desk::kClientProgramLabel, tab), 2, 0, 1, 3);
  grid->addWidget(edFilename, 3, 0, 1, 3);
  grid->addWidget(type, 4, 0, 1, 4);
  grid->addWidget(metTags, 5, 0, 1, 4);
  grid->addWidget(label(desk::kProxyAddrLabel, tab), 6, 0);
  grid->addWidget(label(desk::kProxyPortLabel, tab), 6, 2);
  grid->addWidget(proxyAddr, 7, 0);
  grid->addWidget(label(":", tab), 7, 1);
  grid->addWidget(proxyPort, 7, 2);
  grid->addWidget(log, 8, 0, 1, 4);
  grid->addWidget(label(desk::kIPFilterLabel, tab), 9, 0, 1, 3);
  grid->addWidget(ipFilter, 10, 0, 1, 3);
  grid->addWidget(browse, 10, 3);
  grid->addWidget(label(desk::kUpdateInfoLabel, tab), 11, 0, 1, 3);
  grid->addWidget(updateInfo, 12, 0, 1, 3);
  grid->addWidget(label(desk::kIniInUseLabel, tab), 13, 0, 1, 3);
  grid->addWidget(iniPath_, 14, 0, 1, 4);
  grid->addWidget(label(desk::kLogFolderLabel, tab), 15, 0, 1, 3);
  grid->addWidget(logDir, 16, 0, 1, 4);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(17, 1);
  tab->setLayout(grid);

  connect(search, &QPushButton::clicked, this, [this] { chooseEDPath(); });
  connect(browse, &QPushButton::clicked, this, [this] { chooseIPFilterFile(); });
  // Only the user's tick says so; filling the dialog does not.
  connect(log, &QCheckBox::clicked, this, [this](bool checked) { presenter_.logTicked(checked); });
  return tab;
}

QWidget* OptionsDialog::buildUpdateTab() {
  auto* tab = new QWidget;
  urls_ = new UrlListBox(ctx_, tab);
  urls_->setObjectName(QStringLiteral("URLs"));
  auto* grid = new QGridLayout;
  addLabelled(
      grid, 0, desk::kUpdThreadsLabel,
      spinBox("UpdThreadCount", app::kUpdThreadCountMin, app::kUpdThreadCountMax, false, tab));
  addLabelled(grid, 1, desk::kTimeoutLabel,
              spinBox("UpdTimeout", app::kTimeoutMin, app::kTimeoutMax, false, tab));
  addLabelled(grid, 2, desk::kMaxListLabel,
              spinBox("MaxListMB", runtime::kMaxListMBMin, runtime::kMaxListMBMax, true, tab));
  grid->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(urls_, 1);
  layout->addLayout(grid);
  return tab;
}

QWidget* OptionsDialog::buildVerifyTab() {
  auto* tab = new QWidget;
  auto* vrfThreads =
      spinBox("VrfThreadCount", app::kVrfThreadCountMin, app::kVrfThreadCountMax, false, tab);
  auto* vrfParallel = spinBox("VrfParallel", app::kVrfParallelMin, app::kVrfParallelMax, true, tab);
  auto* vrfProxyParallel =
      spinBox("VrfProxyParallel", app::kVrfParallelMin, app::kVrfParallelMax, true, tab);
  auto* vrfTimeout = spinBox("VrfTimeout", app::kTimeoutMin, app::kTimeoutMax, false, tab);
  auto* vrfWarning = checkBox("VrfWarning", desk::kVrfWarningCaption, tab);
  auto* vrfUdp = checkBox("VrfUdpStatus", desk::kVrfUdpCaption, tab);
  auto* grid = new QGridLayout;
  addLabelled(grid, 0, desk::kVrfParallelLabel, vrfParallel);
  addLabelled(grid, 1, desk::kVrfProxyParallelLabel, vrfProxyParallel);
  addLabelled(grid, 2, desk::kVrfThreadsLabel, vrfThreads);
  addLabelled(grid, 3, desk::kTimeoutLabel, vrfTimeout);
  grid->addWidget(vrfWarning, 4, 0, 1, 2);
  grid->addWidget(vrfUdp, 5, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(6, 1);
  tab->setLayout(grid);
  return tab;
}

QWidget* OptionsDialog::buildScriptTab() {
  auto* tab = new QWidget;
  auto* syntaxCheck = checkBox("ScrSyntaxCheck", desk::kSyntaxCheckCaption, tab);
  auto* execScript = new QRadioButton(uiText(desk::kScriptExecCaption), tab);
  execScript->setObjectName(QStringLiteral("ScrExecOrEdit"));
  auto* editScript = new QRadioButton(uiText(desk::kScriptEditCaption), tab);
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(syntaxCheck);
  layout->addSpacing(12);
  // (The Windows build: "On shell execution of an .rvs-file...  (e.g. doubleclick in the
  // explorer)".)
  layout->addWidget(label(desk::kScriptOpenLabel, tab));
  layout->addWidget(execScript);
  layout->addWidget(editScript);
  layout->addStretch(1);
  return tab;
}

bool OptionsDialog::run() {
  prepare();
  return exec() == QDialog::Accepted;
}

template <typename T>
T* OptionsDialog::field(std::string_view key) const {
  const QString name = QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
  if constexpr (std::is_same_v<T, QAbstractButton>) {
    // A choice of two radio buttons is named by its group.
    if (auto* group = findChild<QGroupBox*>(name))
      return group->findChildren<QRadioButton*>().first();
  }
  return findChild<T*>(name);
}

void OptionsDialog::setText(std::string_view key, const std::string& bytes) {
  auto* edit = field<QLineEdit>(key);
  edit->setText(fieldText(bytes));
  edit->setProperty("shownBytes", QByteArray::fromStdString(bytes));
}

std::string OptionsDialog::text(std::string_view key) const {
  const auto* edit = field<QLineEdit>(key);
  return fieldBytes(edit->text(), edit->property("shownBytes").toByteArray().toStdString());
}

void OptionsDialog::setNumber(std::string_view key, int value) {
  field<QSpinBox>(key)->setValue(value);
}

int OptionsDialog::number(std::string_view key) const {
  return field<QSpinBox>(key)->value();
}

void OptionsDialog::setChecked(std::string_view key, bool on) {
  auto* button = field<QAbstractButton>(key);
  if (on || !qobject_cast<QRadioButton*>(button)) {
    button->setChecked(on);
    return;
  }
  // No: the other radio button of the pair.
  for (auto* radio :
       button->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
    if (radio != button) radio->setChecked(true);
}

bool OptionsDialog::isChecked(std::string_view key) const {
  return field<QAbstractButton>(key)->isChecked();
}

void OptionsDialog::setUrls(const std::vector<runtime::UrlSource>& rows) {
  urls_->setRows(rows);
}

std::vector<runtime::UrlSource> OptionsDialog::urls() const {
  return urls_->rows();
}

void OptionsDialog::clearPassword(bool stored) {
  ecPassword_->clear();
  ecPassword_->setPlaceholderText(
      uiText(stored ? kPasswordStoredPlaceholder : kPasswordNonePlaceholder));
}

std::string OptionsDialog::password() const {
  return ecPassword_->text().toStdString();
}

bool OptionsDialog::passwordTouched() const {
  return ecPassword_->isModified();
}

void OptionsDialog::showFirstTab() {
  tabs_->setCurrentIndex(0);
}

void OptionsDialog::focusField(std::string_view key) {
  auto* edit = field<QLineEdit>(key);
  for (int tab = 0; tab < tabs_->count(); ++tab)
    if (tabs_->widget(tab)->isAncestorOf(edit)) tabs_->setCurrentIndex(tab);
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

void OptionsDialog::chooseEDPath() {
  QFileDialog dialog(this, uiText(kChooseEDPathTitle));
  useQtDialog(dialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setDirectory(field<QLineEdit>("EDPath")->text());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  QString path = dialog.selectedFiles().first();
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  field<QLineEdit>("EDPath")->setText(path);
}

void OptionsDialog::chooseIPFilterFile() {
  QFileDialog dialog(this, uiText(kChooseIPFilterTitle));
  useQtDialog(dialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // The client's own filter is the first offer.
  dialog.selectFile(fieldText(presenter_.offeredIPFilterFile()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  field<QLineEdit>("IPFilterFile")->setText(dialog.selectedFiles().first());
}

}  // namespace ravelin::qt
