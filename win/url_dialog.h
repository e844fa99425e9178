#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "runtime/url_source.h"
#include "win/dialog.h"

namespace ravelin::win {

// "Ravelin: OPTIONS: Add URL" / "... Edit URL": a kind and a location.
class UrlDialog : public Dialog {
 public:
  static constexpr int kInfoId = 300;
  static constexpr int kKindId = 301;
  static constexpr int kUrlId = 302;

  // The entry as OK leaves it, or nothing on Cancel; a new entry when current is null.
  std::optional<runtime::UrlSource> run(HWND owner, const runtime::UrlSource* current);

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;

  runtime::UrlSource shown_;
  bool editing_ = false;
  std::optional<runtime::UrlSource> entry_;
};

}  // namespace ravelin::win
