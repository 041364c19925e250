#include "gui/main_dialog.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/command_button.h"

namespace gui {
namespace {

using Screen = app::MainScreen;

QLineEdit* ReadOnlyField(QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setReadOnly(true);
  return field;
}

}  // namespace

MainDialog::MainDialog(app::Application& app, app::Screens& screens, QWidget* parent)
    : QDialog(parent), screen_(app, screens) {
  setWindowTitle(QString::fromStdString(screen_.view().title));
  const auto redraw = [this] { Refresh(); };
  editFile_ =
      MakeCommandButton(this, app::kEditFileButton, screen_, &Screen::OnEditExistingFile, redraw);
  createFile_ =
      MakeCommandButton(this, app::kCreateFileButton, screen_, &Screen::OnCreateNewFile, redraw);
  filePath_ = ReadOnlyField(this);
  loadInfo_ = MakeCommandButton(this, app::kLoadInfoButton, screen_, &Screen::OnLoadInfo, redraw);
  dataEntry_ = MakeCommandButton(this, app::kDataEntryButton, screen_, &Screen::OnDataEntry, redraw);
  setup_ = MakeCommandButton(this, app::kSetupButton, screen_, &Screen::OnSetup, redraw);
  reports_ = MakeCommandButton(this, app::kReportsButton, screen_, &Screen::OnReports, redraw);
  finalize_ = MakeCommandButton(this, app::kFinalizeButton, screen_, &Screen::OnFinalize, redraw);
  fileType_ = new QComboBox(this);
  for (const char* type : app::kFileTypeTexts) fileType_->addItem(type);
  connect(fileType_, &QComboBox::activated, this, [this](int index) {
    screen_.OnFileTypeChanged(index);
    Refresh();
  });
  scaleUnits_ = ReadOnlyField(this);
  scaleSample_ = ReadOnlyField(this);
  design_ = MakeCommandButton(this, app::kDesignButton, screen_, &Screen::OnDesign, redraw);
  done_ = new QPushButton(app::kDoneButton, this);
  connect(done_, &QPushButton::clicked, this, &QDialog::accept);
  auto* about = new QAction(app::kAboutEntry, this);
  about->setShortcut(QKeySequence::HelpContents);
  connect(about, &QAction::triggered, this, [&screens] { screens.ShowAbout(); });
  addAction(about);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  BuildLayout();
  Refresh();
}

void MainDialog::BuildLayout() {
  auto* design = new QGroupBox(app::kDesignGroup, this);
  auto* designLayout = new QGridLayout(design);
  designLayout->addWidget(new QLabel(app::kScaleUnitsLabel, design), 0, 0);
  designLayout->addWidget(scaleUnits_, 0, 1);
  designLayout->addWidget(new QLabel(app::kScaleSampleLabel, design), 1, 0);
  designLayout->addWidget(scaleSample_, 1, 1);
  designLayout->addWidget(design_, 0, 2, 2, 1);
  auto* layout = new QGridLayout(this);
  layout->addWidget(editFile_, 0, 0);
  layout->addWidget(createFile_, 0, 1);
  layout->addWidget(filePath_, 1, 0, 1, 2);
  layout->addWidget(loadInfo_, 2, 0);
  layout->addWidget(dataEntry_, 2, 1);
  layout->addWidget(setup_, 3, 0);
  layout->addWidget(reports_, 3, 1);
  layout->addWidget(finalize_, 4, 0);
  layout->addWidget(fileType_, 4, 1);
  layout->addWidget(design, 5, 0, 1, 2);
  layout->addWidget(done_, 6, 1);
  filePath_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(64, 'x')));
}

void MainDialog::Start(std::optional<std::string> commandLinePath) {
  screen_.Start(std::move(commandLinePath));
  Refresh();
}

void MainDialog::OpenHandedOver(const std::string& path) {
  raise();
  activateWindow();
  screen_.OnFileHandedOver(path);
  Refresh();
}

void MainDialog::Refresh() {
  const app::MainScreenView& view = screen_.view();
  filePath_->setText(QString::fromStdString(view.filePath));
  filePath_->setCursorPosition(0);
  fileType_->setCurrentIndex(view.fileType ? static_cast<int>(*view.fileType) : -1);
  fileType_->setEnabled(view.fileTypeList);
  scaleUnits_->setText(QString::fromStdString(view.scaleUnits));
  scaleSample_->setText(QString::fromStdString(view.scaleSample));
  loadInfo_->setEnabled(view.loadInfo);
  dataEntry_->setEnabled(view.dataEntry);
  setup_->setEnabled(view.setup);
  reports_->setEnabled(view.reports);
  finalize_->setEnabled(view.finalize);
  design_->setEnabled(view.design);
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (screen_.ConfirmEnd()) reject();
    return;
  }
  QDialog::keyPressEvent(event);
}

void MainDialog::done(int result) {
  screen_.OnDone();
  Refresh();
  QDialog::done(result);
}

}  // namespace gui
