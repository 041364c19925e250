#include "setup/other_options_screen.h"

#include "app/application.h"
#include "platform/ui.h"
#include "tablestore/settings.h"
#include "tablestore/table_store.h"

namespace setup {

namespace {

constexpr const char* kYesNoKeys[] = {tablestore::kKeyAppendDateToFileName,
                                      tablestore::kKeyAuditEachLogBeforeAppend,
                                      tablestore::kKeyAppendAfterDefect};

}  // namespace

OtherOptionsScreen::OtherOptionsScreen(app::Application& app) : app_(app) {}

int OtherOptionsScreen::Open() {
  tablestore::TableStore& store = *app_.store();
  int rc = tablestore::AddMissingOptions(store);
  if (rc == 0) rc = store.Commit();
  if (rc != 0) {
    app_.ui.ShowMessage(
        {"The options could not be read.\n" + store.LastError(), "Error", platform::Icon::kStop});
    return rc;
  }
  for (int i = 0; i < 3; ++i) {
    std::string value;
    tablestore::ReadSetting(store, tablestore::kBlockOption, kYesNoKeys[i], value);
    yesNo_[i] = value == tablestore::kYes;
  }
  closeHit_ = "-1";
  tablestore::ReadSetting(store, tablestore::kBlockOption, tablestore::kKeyCloseHitWindow,
                          closeHit_);
  closeHitChecked_ = closeHit_ != "-1";
  return 0;
}

int OtherOptionsScreen::CloseHitIndex() const {
  if (!closeHitChecked_ || closeHit_ == "-1") return -1;
  for (int i = 0; i < static_cast<int>(std::size(kCloseHitChoices)); ++i) {
    if (closeHit_ == kCloseHitChoices[i]) return i;
  }
  return -1;
}

void OtherOptionsScreen::OnCloseHitBox(bool checked) {
  closeHitChecked_ = checked;
  if (!checked) closeHit_ = "-1";
}

void OtherOptionsScreen::OnCloseHitChosen(int index) {
  if (!closeHitChecked_ || index < 0 || index >= static_cast<int>(std::size(kCloseHitChoices)))
    return;
  closeHit_ = kCloseHitChoices[index];
}

bool OtherOptionsScreen::OnOk() {
  tablestore::TableStore& store = *app_.store();
  int rc = 0;
  for (int i = 0; i < 3 && rc == 0; ++i) {
    rc = tablestore::WriteSetting(store, tablestore::kBlockOption, kYesNoKeys[i],
                                  yesNo_[i] ? tablestore::kYes : tablestore::kNo);
  }
  if (rc == 0) {
    rc = tablestore::WriteSetting(store, tablestore::kBlockOption, tablestore::kKeyCloseHitWindow,
                                  closeHit_);
  }
  if (rc == 0) rc = store.Commit();
  if (rc == 0) return true;
  app_.ui.ShowMessage(
      {"The options could not be saved.\n" + store.LastError(), "Error", platform::Icon::kStop});
  return false;
}

void OtherOptionsScreen::OnTapersClosed(bool ok) {
  if (ok) (void)app_.store()->LogProgramMessage(kTapersExitedOk);
}

}  // namespace setup
