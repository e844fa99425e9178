#pragma once
// Qt's own texts (standard buttons, file dialogs) in the language of Ravelin's catalogue.

namespace ravelin::qt {

// Installs Qt's translation for the language that runtime::startTranslation() chose, and
// removes an earlier one; with no catalogue in use (English) Qt stays English. Needs the
// QApplication.
void loadQtTranslations();

}  // namespace ravelin::qt
