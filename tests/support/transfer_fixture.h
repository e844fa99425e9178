#pragma once
// A hand-over on the manual clock, for any bridge: servers 10.0.0.1 to 10.0.0.N (port
// 4661) of which the given ones (numbered from 1) are checked, the time of the last
// hand-over in the test's folder, and a recording transfer window.
#include <algorithm>
#include <initializer_list>
#include <string>

#include "app/transfer_time_file.h"
#include "client/transfer.h"
#include "client/transfer_time.h"
#include "serverlist/server_list.h"
#include "support/recording_transfer_view.h"
#include "support/test_support.h"

namespace test {

inline constexpr std::int64_t kHour = 3600 * 1000;

struct TransferFixture {
  TestApp app;
  ravelin::app::TransferTimeFile store{app.dir.file(ravelin::app::TransferTimeFile::kFileName)};
  RecordingTransferView view;
  ravelin::serverlist::ServerList list;

  TransferFixture(int servers, std::initializer_list<int> checked) {
    app.useManualClock();
    for (int i = 1; i <= servers; ++i) {
      ravelin::serverlist::Server s;
      s.ip = "10.0.0." + std::to_string(i);
      s.port = "4661";
      list.append(s, std::find(checked.begin(), checked.end(), i) != checked.end());
    }
  }
  void recordHoursAgo(std::int64_t hours) {
    store.write(ravelin::client::transferTimeValue(app.manualClock.wallMs() - hours * kHour));
  }
  ravelin::client::TransferOutcome transfer(ravelin::client::ClientBridge& bridge) {
    return ravelin::client::sendToRunningClient(list, app.ctx, view, store, bridge);
  }
};

}  // namespace test
