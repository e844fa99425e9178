#include <gtest/gtest.h>

#include <QSignalSpy>

#include "qt/server_list_model.h"
#include "gui_test_support.h"
#include "runtime/progress_bar.h"
#include "serverlist/batch_scope.h"
#include "serverlist/list_commands.h"

using namespace ravelin;
using namespace ravelin::qt;
using namespace ravelin::serverlist;
using namespace test::gui;

namespace {

TEST(ServerListModel, AnImportIsOneResetAndBulkChecksOneChange) {
  ServerList list;
  ServerListModel model(list);
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
  {
    runtime::ProgressBar bar;
    BatchScope import(list, bar);
    for (int i = 1; i <= 50; ++i) list.append(server("1.2.3." + std::to_string(i), "4661"), true);
    EXPECT_EQ(model.rowCount(), 0);  // the views see the rows once the import ends
  }
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(inserts.count(), 0);
  EXPECT_EQ(model.rowCount(), 50);

  runtime::AppContext ctx;
  uncheckAllServers(list, ctx);
  settle();
  ASSERT_EQ(changes.count(), 1);
  EXPECT_EQ(changes[0][0].value<QModelIndex>().row(), 0);
  EXPECT_EQ(changes[0][1].value<QModelIndex>().row(), 49);
  EXPECT_EQ(model.index(7, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);

  EXPECT_TRUE(model.setData(model.index(7, 0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_TRUE(list[7].checked);
  list.remove(0);
  EXPECT_EQ(model.rowCount(), 49);
  EXPECT_EQ(model.index(0, fIP).data().toString().toStdString(), "1.2.3.2");
}

}  // namespace
