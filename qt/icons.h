#pragma once
#include <QIcon>

namespace ravelin::qt {

// The pictures of the toolbar's buttons.
enum class ToolIcon { Refresh, Update, Verify, Save, Script };

// The desktop's themed icon when the theme has one, otherwise a picture drawn here.
QIcon toolIcon(ToolIcon which);
// The picture drawn here, at size x size pixels.
QPixmap drawnToolIcon(ToolIcon which, int size);

}  // namespace ravelin::qt
