#pragma once

namespace ravelin::qt {

// Names the running program as its desktop entry knows it: the application name, which
// the X11 window class carries (the entry's StartupWMClass), and the entry's file name,
// which Wayland compositors take as the application id. Docks and task bars match the
// window to the entry by these, and show its icon and a single launcher.
void setApplicationIdentity();

}  // namespace ravelin::qt
