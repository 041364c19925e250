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

OtherOptionsOpen OtherOptionsScreen::Open() {
  tablestore::TableStore& store = *app_.store();
  int rc = tablestore::AddMissingOptions(store);
  if (rc == 0) rc = store.Commit();
  if (rc != 0) {
    app_.ui.ShowMessage(
        {"The options could not be read.\n" + store.LastError(), "Error", platform::Icon::kStop});
    return OtherOptionsOpen::kUnreadable;
  }
  for (int i = 0; i < 3; ++i) {
    std::string value;
    // An option that cannot be read shows as not set.
    static_cast<void>(
        tablestore::ReadSetting(store, tablestore::kBlockOption, kYesNoKeys[i], value));
    view_.checked[i] = value == tablestore::kYes;
  }
  view_.closeHit = "-1";
  // An option that cannot be read keeps the "-1" of no window.
  static_cast<void>(tablestore::ReadSetting(store, tablestore::kBlockOption,
                                            tablestore::kKeyCloseHitWindow, view_.closeHit));
  view_.closeHitChecked = view_.closeHit != "-1";
  UpdateCloseHit();
  return OtherOptionsOpen::kOpened;
}

void OtherOptionsScreen::UpdateCloseHit() {
  view_.closeHitListEnabled = view_.closeHitChecked;
  view_.closeHitIndex = -1;
  if (!view_.closeHitChecked) return;
  for (int i = 0; i < static_cast<int>(std::size(kCloseHitChoices)); ++i) {
    if (view_.closeHit == kCloseHitChoices[i]) {
      view_.closeHitIndex = view_.closeHit == "-1" ? -1 : i;
      return;
    }
  }
}

void OtherOptionsScreen::OnToggle(YesNoOption option, bool checked) {
  view_.checked[static_cast<size_t>(option)] = checked;
}

void OtherOptionsScreen::OnCloseHitBox(bool checked) {
  view_.closeHitChecked = checked;
  if (!checked) view_.closeHit = "-1";
  UpdateCloseHit();
}

void OtherOptionsScreen::OnCloseHitChosen(int index) {
  if (!view_.closeHitChecked || index < 0 ||
      index >= static_cast<int>(std::size(kCloseHitChoices))) {
    return;
  }
  view_.closeHit = kCloseHitChoices[index];
  UpdateCloseHit();
}

bool OtherOptionsScreen::OnOk() {
  tablestore::TableStore& store = *app_.store();
  int rc = 0;
  for (int i = 0; i < 3 && rc == 0; ++i) {
    rc = tablestore::WriteSetting(store, tablestore::kBlockOption, kYesNoKeys[i],
                                  view_.checked[i] ? tablestore::kYes : tablestore::kNo);
  }
  if (rc == 0) {
    rc = tablestore::WriteSetting(store, tablestore::kBlockOption, tablestore::kKeyCloseHitWindow,
                                  view_.closeHit);
  }
  if (rc == 0) rc = store.Commit();
  if (rc == 0) return true;
  app_.ui.ShowMessage(
      {"The options could not be saved.\n" + store.LastError(), "Error", platform::Icon::kStop});
  return false;
}

void OtherOptionsScreen::OnTapersClosed(bool ok) {
  // The tapers are committed already; a journal line missing loses no data.
  if (ok) (void)app_.store()->LogProgramMessage(kTapersExitedOk);
}

}  // namespace setup
