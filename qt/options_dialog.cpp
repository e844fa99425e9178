#include "qt/options_dialog.h"
#include "qt/dialog_layout.h"

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

#include "app/options_rules.h"
#include "app/settings_store.h"
#include "qt/field_text.h"
#include "qt/ui_text.h"
#include "qt/url_list_box.h"
#include "qt/window_metrics.h"
#include "platform/user_folders.h"
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
      ctx_(session.context()) {
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
  edPath_ = lineEdit("EDPath", tab);
  auto* search = new QPushButton(uiText(kSearchCaption), tab);
  edFilename_ = lineEdit("EDFilename", tab);

  // The client is aMule: its programs on this machine take servers from the ED2KLinks
  // file, any client takes them through its External Connection. (The Windows build names
  // eDonkey2000's "Normal GUI client" and "Command line client".)
  auto* type = new QGroupBox(uiText(" Choose the type of your eDonkey client: "), tab);
  type->setObjectName(QStringLiteral("EDGUI"));
  guiClient_ = new QRadioButton(uiText("Local client (amule or amuled on this machine)"), type);
  cmdClient_ = new QRadioButton(uiText("Remote client (External Connection)"), type);
  ecHost_ = lineEdit("ECHost", type);
  ecPort_ = spinBox("ECPort", 1, 65535, true, type);
  ecPassword_ = lineEdit("ECPassword", type);
  ecPassword_->setEchoMode(QLineEdit::Password);
  fitText(ecHost_, QStringLiteral("255.255.255.255"));
  fitText(ecPassword_, uiText(kPasswordStoredPlaceholder));
  // The connection's address and port on one row, its password under them.
  auto* ec = new QGridLayout;
  ec->addWidget(label(N_("External Connection:"), type), 0, 0);
  ec->addWidget(ecHost_, 0, 1);
  ec->addWidget(label(":", type), 0, 2);
  ec->addWidget(ecPort_, 0, 3);
  ec->addWidget(label(N_("Password:"), type), 1, 0);
  ec->addWidget(ecPassword_, 1, 1);
  ec->setColumnStretch(1, 1);
  auto* typeLayout = new QVBoxLayout(type);
  typeLayout->addWidget(guiClient_);
  typeLayout->addWidget(cmdClient_);
  typeLayout->addLayout(ec);

  metTags_ =
      checkBox("MetAddressTags", N_("Write address and port tags into server.met files"), tab);
  proxyAddr_ = lineEdit("ProxyAddr", tab);
  proxyPort_ = lineEdit("ProxyPort", tab);
  // Digits only, as many as a port has.
  proxyPort_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]{0,5}")), proxyPort_));
  fitText(proxyPort_, QStringLiteral("65535"));
  proxyPort_->setMaximumWidth(proxyPort_->minimumWidth());  // five digits need no more
  // The log folder as this run has it (the state folder, or beside a portable ravelin.ini),
  // the home folder written "~" to keep the line short.
  std::string logFolder = session_.places().logDir;
  const std::string home = platform::homeDirectory();
  if (!home.empty() && logFolder.starts_with(home + "/")) logFolder.replace(0, home.size(), "~");
  log_ = new QCheckBox(
      fieldText(runtime::fillIn(_("Log all actions to file ( %s/<date-time>.log )"), {logFolder})),
      tab);
  log_->setObjectName(QStringLiteral("LOG"));
  ipFilter_ = lineEdit("IPFilterFile", tab);
  auto* browse = new QPushButton(uiText(kBrowseCaption), tab);
  updateInfo_ = lineEdit("UpdateInfoURL", tab);
  iniPath_ = new QLineEdit(fieldText(session_.iniPath()), tab);
  iniPath_->setReadOnly(true);
  fitText(iniPath_, iniPath_->text());
  auto* logDir = new QLineEdit(fieldText(session_.places().logDir), tab);
  logDir->setObjectName(QStringLiteral("LogFolder"));
  logDir->setReadOnly(true);

  auto* grid = new QGridLayout;
  // (The Windows build: "Path to EDonkey2000 directory:", "EDonkey2000 EXE-Filename:".)
  grid->addWidget(label(N_("Client folder (holds its server.met; aMule: ~/.aMule/):"), tab), 0, 0,
                  1, 3);
  grid->addWidget(edPath_, 1, 0, 1, 3);
  grid->addWidget(search, 1, 3);
  grid->addWidget(
      label(N_("Client program (found in the client folder or on PATH, or a full path):"), tab), 2,
      0, 1, 3);
  grid->addWidget(edFilename_, 3, 0, 1, 3);
  grid->addWidget(type, 4, 0, 1, 4);
  grid->addWidget(metTags_, 5, 0, 1, 4);
  grid->addWidget(label(N_("Proxy address:"), tab), 6, 0);
  grid->addWidget(label(N_("Proxy port:"), tab), 6, 2);
  grid->addWidget(proxyAddr_, 7, 0);
  grid->addWidget(label(":", tab), 7, 1);
  grid->addWidget(proxyPort_, 7, 2);
  grid->addWidget(log_, 8, 0, 1, 4);
  grid->addWidget(label(N_("IP filter file (blocked address ranges; empty: none):"), tab), 9, 0, 1,
                  3);
  grid->addWidget(ipFilter_, 10, 0, 1, 3);
  grid->addWidget(browse, 10, 3);
  grid->addWidget(label(N_("New-version information URL (empty: no check):"), tab), 11, 0, 1, 3);
  grid->addWidget(updateInfo_, 12, 0, 1, 3);
  grid->addWidget(label(N_("Settings file in use:"), tab), 13, 0, 1, 3);
  grid->addWidget(iniPath_, 14, 0, 1, 4);
  grid->addWidget(label(N_("Log folder:"), tab), 15, 0, 1, 3);
  grid->addWidget(logDir, 16, 0, 1, 4);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(17, 1);
  tab->setLayout(grid);

  connect(search, &QPushButton::clicked, this, [this] { chooseEDPath(); });
  connect(browse, &QPushButton::clicked, this, [this] { chooseIPFilterFile(); });
  // Only the user's tick says so; filling the dialog does not.
  connect(log_, &QCheckBox::clicked, this, [this](bool checked) {
    if (checked)
      ctx_.message(N_("Info"), app::kLogNextStart, runtime::MsgIcon::Information,
                   runtime::MsgButtons::Ok);
  });
  return tab;
}

QWidget* OptionsDialog::buildUpdateTab() {
  auto* tab = new QWidget;
  urls_ = new UrlListBox(ctx_, tab);
  urls_->setObjectName(QStringLiteral("URLs"));
  updThreads_ =
      spinBox("UpdThreadCount", app::kUpdThreadCountMin, app::kUpdThreadCountMax, false, tab);
  updTimeout_ = spinBox("UpdTimeout", app::kTimeoutMin, app::kTimeoutMax, false, tab);
  maxListMB_ = spinBox("MaxListMB", runtime::kMaxListMBMin, runtime::kMaxListMBMax, true, tab);
  auto* grid = new QGridLayout;
  addLabelled(grid, 0, N_("Maximum thread count (max = 8):"), updThreads_);
  addLabelled(grid, 1, N_("Timeout (in sec, max = 60):"), updTimeout_);
  addLabelled(grid, 2, N_("Largest unpacked list (in MiB, max = 4096):"), maxListMB_);
  grid->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(urls_, 1);
  layout->addLayout(grid);
  return tab;
}

QWidget* OptionsDialog::buildVerifyTab() {
  auto* tab = new QWidget;
  vrfThreads_ =
      spinBox("VrfThreadCount", app::kVrfThreadCountMin, app::kVrfThreadCountMax, false, tab);
  vrfTimeout_ = spinBox("VrfTimeout", app::kTimeoutMin, app::kTimeoutMax, false, tab);
  vrfWarning_ = checkBox("VrfWarning", N_("Display warning message"), tab);
  vrfUdp_ = checkBox("VrfUdpStatus", N_("Ask every server for its users and files (UDP)"), tab);
  auto* grid = new QGridLayout;
  addLabelled(grid, 0, N_("Maximum thread count (max = 20):"), vrfThreads_);
  addLabelled(grid, 1, N_("Timeout (in sec, max = 60):"), vrfTimeout_);
  grid->addWidget(vrfWarning_, 2, 0, 1, 2);
  grid->addWidget(vrfUdp_, 3, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(4, 1);
  tab->setLayout(grid);
  return tab;
}

QWidget* OptionsDialog::buildScriptTab() {
  auto* tab = new QWidget;
  syntaxCheck_ =
      checkBox("ScrSyntaxCheck", N_("Perform syntax check on every run of a script file"), tab);
  execScript_ = new QRadioButton(uiText("execute the script."), tab);
  execScript_->setObjectName(QStringLiteral("ScrExecOrEdit"));
  editScript_ = new QRadioButton(uiText("open the script in the script editor."), tab);
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(syntaxCheck_);
  layout->addSpacing(12);
  // (The Windows build: "On shell execution of an .rvs-file...  (e.g. doubleclick in the
  // explorer)".)
  layout->addWidget(label(
      N_("On opening an .rvs-file from the desktop...  (e.g. a double click in the file manager)"),
      tab));
  layout->addWidget(execScript_);
  layout->addWidget(editScript_);
  layout->addStretch(1);
  return tab;
}

void OptionsDialog::prepare() {
  shown_ = ctx_.settings;
  const runtime::Settings& s = shown_;
  edPath_->setText(fieldText(s.EDPath));
  edFilename_->setText(fieldText(s.EDFilename));
  (s.EDGUI ? guiClient_ : cmdClient_)->setChecked(true);
  ecHost_->setText(fieldText(s.ECHost));
  ecPort_->setValue(s.ECPort);
  ecPassword_->clear();
  ecPassword_->setPlaceholderText(
      uiText(s.ECPassword.empty() ? kPasswordNonePlaceholder : kPasswordStoredPlaceholder));
  metTags_->setChecked(s.MetAddressTags);
  proxyAddr_->setText(fieldText(s.ProxyAddr));
  proxyPort_->setText(QString::number(s.ProxyPort));
  log_->setChecked(s.LOG);
  ipFilter_->setText(fieldText(s.IPFilterFile));
  updateInfo_->setText(fieldText(s.UpdateInfoURL));
  urls_->setRows(s.URLs);
  urls_->resetSort();
  updThreads_->setValue(s.UpdThreadCount);
  updTimeout_->setValue(s.UpdTimeout);
  maxListMB_->setValue(s.MaxListMB);
  vrfThreads_->setValue(s.VrfThreadCount);
  vrfTimeout_->setValue(s.VrfTimeout);
  vrfWarning_->setChecked(s.VrfWarning);
  vrfUdp_->setChecked(s.VrfUdpStatus);
  syntaxCheck_->setChecked(s.ScrSyntaxCheck);
  (s.ScrExecOrEdit ? execScript_ : editScript_)->setChecked(true);
  tabs_->setCurrentIndex(0);
}

bool OptionsDialog::run() {
  prepare();
  return exec() == QDialog::Accepted;
}

runtime::Settings OptionsDialog::editedSettings(int proxyPort) const {
  runtime::Settings s = shown_;
  s.EDPath = fieldBytes(edPath_->text(), shown_.EDPath);
  s.EDFilename = fieldBytes(edFilename_->text(), shown_.EDFilename);
  s.EDGUI = guiClient_->isChecked();
  s.ECHost = fieldBytes(ecHost_->text(), shown_.ECHost);
  s.ECPort = ecPort_->value();
  s.ECPassword = app::ecPasswordAfterEdit(shown_.ECPassword, ecPassword_->text().toStdString(),
                                          ecPassword_->isModified());
  s.MetAddressTags = metTags_->isChecked();
  s.ProxyAddr = fieldBytes(proxyAddr_->text(), shown_.ProxyAddr);
  s.ProxyPort = proxyPort;
  s.LOG = log_->isChecked();
  s.IPFilterFile = fieldBytes(ipFilter_->text(), shown_.IPFilterFile);
  s.UpdateInfoURL = fieldBytes(updateInfo_->text(), shown_.UpdateInfoURL);
  s.URLs = urls_->rows();
  s.UpdThreadCount = updThreads_->value();
  s.UpdTimeout = updTimeout_->value();
  s.MaxListMB = maxListMB_->value();
  s.VrfThreadCount = vrfThreads_->value();
  s.VrfTimeout = vrfTimeout_->value();
  s.VrfWarning = vrfWarning_->isChecked();
  s.VrfUdpStatus = vrfUdp_->isChecked();
  s.ScrSyntaxCheck = syntaxCheck_->isChecked();
  s.ScrExecOrEdit = execScript_->isChecked();
  return s;
}

void OptionsDialog::ok() {
  if (!ctx_.prompter) return;
  runtime::Prompter& prompter = *ctx_.prompter;
  const std::optional<int> port = app::proxyPortFromField(proxyPort_->text().toStdString());
  if (!port) {
    prompter.message(N_("Error"), app::kProxyPortRefused, runtime::MsgIcon::Error,
                     runtime::MsgButtons::Ok);
    tabs_->setCurrentIndex(0);
    proxyPort_->setFocus(Qt::OtherFocusReason);
    proxyPort_->selectAll();
    return;
  }
  const runtime::Settings edited = editedSettings(*port);
  if (!app::confirmOptions(edited, prompter, clientWarnedFor_)) return;
  try {
    app::applyOptions(session_, edited);
  } catch (const std::exception& e) {
    // The new settings hold for this run all the same.
    prompter.message(N_("Error"), e.what(), runtime::MsgIcon::Error, runtime::MsgButtons::Ok);
  }
  accept();
}

void OptionsDialog::chooseEDPath() {
  QFileDialog dialog(this, uiText(kChooseEDPathTitle));
  useQtDialog(dialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setDirectory(edPath_->text());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  QString path = dialog.selectedFiles().first();
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  edPath_->setText(path);
}

void OptionsDialog::chooseIPFilterFile() {
  QFileDialog dialog(this, uiText(kChooseIPFilterTitle));
  useQtDialog(dialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // The client's own filter is the first offer.
  const std::string offered =
      ipFilter_->text().isEmpty()
          ? runtime::clientFile(fieldBytes(edPath_->text(), shown_.EDPath), "ipfilter.dat")
          : fieldBytes(ipFilter_->text(), shown_.IPFilterFile);
  dialog.selectFile(fieldText(offered));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  ipFilter_->setText(dialog.selectedFiles().first());
}

}  // namespace ravelin::qt
