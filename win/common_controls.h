#pragma once

namespace ravelin::win {

// Registers the classes of the common controls this program uses (list view, header,
// status bar, progress bar), once per process, before its first window.
void initCommonControls();

}  // namespace ravelin::win
