#pragma once
#include <string>

#include "client/transfer_time.h"

namespace ravelin::app {

// The time of the last hand-over to the running client, in the file
// ravelin-transfer.ini (section "transfer", key "last") of the state folder; FilePlaces
// says where it is.
class TransferTimeFile : public client::TransferTimeStore {
 public:
  static constexpr const char* kFileName = "ravelin-transfer.ini";

  explicit TransferTimeFile(std::string path);
  std::optional<std::string> read() override;
  // Creates the directory when needed. Throws platform::FileError.
  void write(const std::string& value) override;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace ravelin::app
