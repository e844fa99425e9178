#pragma once
#include <cstdint>
#include <string>

#include "runtime/progress_bar.h"

namespace ravelin::verify {

class VerifyCoordinator;

// Colours of the status lines, as 32-bit colour values: with bit 31 set the low byte is a
// system colour number, otherwise the value is 0x00BBGGRR.
inline constexpr std::uint32_t kColorBtnFace = 0x8000000F;  // the window's normal background
inline constexpr std::uint32_t kColorGreen = 0x00008000;
inline constexpr std::uint32_t kColorRed = 0x000000FF;

// The fixed texts and sizes of the verify window.
inline constexpr const char* kVerifyCaption = "Ravelin: Verify server list";
inline constexpr const char* kVerifyCancelCaption = "&Cancel";
inline constexpr const char* kVerifyDetailsGroupCaption = "Details";
inline constexpr const char* kDetailsShownCaption = "&Details <<";   // panel shown
inline constexpr const char* kDetailsHiddenCaption = "&Details >>";  // panel hidden
inline constexpr int kVerifyHeightWithDetails = 504;
inline constexpr int kVerifyHeightWithoutDetails = 128;
inline constexpr const char* kThreadNotUsed = "< Thread not used >";
inline constexpr int kVerifySlotCount = 20;

// The verify window as the verification sees it: exactly the texts, captions, colours and
// bars it shows. The Qt window implements it, ravelin-cli renders it on the terminal,
// tests record it. Every call comes on the user-interface thread.
//
// While a run is under way, coordinator points at it: the window's cancel button calls
// coordinator->cancel(), its details button coordinator->toggleDetails().
class VerifyView {
 public:
  virtual ~VerifyView() = default;

  // Shows the window without making it modal / closes (hides) it.
  virtual void show() = 0;
  virtual void close() = 0;
  // The main window is disabled while a verification runs.
  virtual void setMainWindowEnabled(bool enabled) = 0;

  // The headline, the progress text under it and the bar of tested servers.
  virtual void setHeadline(const std::string& text) = 0;
  virtual void setDescription(const std::string& text) = 0;
  virtual runtime::ProgressBar& progressBar() = 0;

  // The status line of a slot (shown as the first to the twentieth line): background
  // colour and caption.
  virtual void setSlotColor(int slot, std::uint32_t color) = 0;
  virtual void setSlotCaption(int slot, const std::string& text) = 0;

  // The details button: its caption is the window's details state; the window's height follows it.
  // A new window starts with the details shown ("&Details <<", 504 pixels).
  virtual std::string detailsCaption() const = 0;
  virtual void setDetailsCaption(const std::string& text) = 0;
  virtual void setHeight(int pixels) = 0;

  VerifyCoordinator* coordinator = nullptr;
};

}  // namespace ravelin::verify
