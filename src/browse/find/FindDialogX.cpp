#include "browse/find/FindDialogX.h"

#include "browse/find/FindLocations.h"
#include "browse/find/FindResults.h"
#include "browse/find/FindSearch.h"
#include "platform/ui/FullHeightToggle.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeView>

namespace kestrel {
namespace {

const char kBrowsePrompt[] = "Select the folder where you want to begin the search";
const char kAltDrive[] = "Search Alt Drive";

QPushButton* Button(const QString& text, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setAutoDefault(false); // Enter belongs to the pattern box and the list
  return button;
}

QLineEdit* KilobyteField(QWidget* parent) {
  auto* field = new QLineEdit(parent);
  const QString digits = QString("\\d{0,%1}").arg(TSizeCriteria::kDigits);
  field->setValidator(new QRegularExpressionValidator(QRegularExpression(digits), field));
  return field;
}

} // namespace

TFindDialogX::TFindDialogX(TFindHost host, QWidget* parent)
    : QDialog(parent), Host(std::move(host)) {
  setWindowTitle(kCaption);
  new TFullHeightToggle(this);
  Rows = new TFindResults(this);
  Search = new TFindSearch(this);
  BuildLayout();
  BuildResultMenu();
  ConnectControls();
  SetState(TState::Idle);
  EnableChoices();
}

TFindDialogX::~TFindDialogX() = default;

void TFindDialogX::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  PatternBox = new QComboBox(this);
  PatternBox->setEditable(true);
  PatternBox->setInsertPolicy(QComboBox::NoInsert);
  PatternBox->setEditText("*.*");
  FindButton = Button("Find", this);
  Light = new QFrame(this);
  Light->setFixedSize(14, 14);
  Light->setFrameShape(QFrame::Box);
  Light->setAutoFillBackground(true);
  top->addWidget(new QLabel("Named:", this));
  top->addWidget(PatternBox, 1);
  top->addWidget(Light);
  top->addWidget(FindButton);
  layout->addLayout(top);

  auto* middle = new QHBoxLayout;
  Pages = new QTabWidget(this);
  Pages->addTab(BuildLocationPage(), "Location");
  Pages->addTab(BuildSizePage(), "Size");
  middle->addWidget(Pages, 1);
  auto* kinds = new QGroupBox(this);
  auto* kindLayout = new QVBoxLayout(kinds);
  FilesKind = new QRadioButton("Files", kinds);
  FoldersKind = new QRadioButton("Folders", kinds);
  ContainingKind = new QRadioButton("Folders Containing", kinds);
  IncludeSize = new QCheckBox("Include Size Details", kinds);
  FilesKind->setChecked(true);
  for (QWidget* widget :
       std::initializer_list<QWidget*>{FilesKind, FoldersKind, ContainingKind, IncludeSize})
    kindLayout->addWidget(widget);
  middle->addWidget(kinds);
  layout->addLayout(middle);

  ResultsView = new QTreeView(this);
  ResultsView->setModel(Rows);
  ResultsView->setRootIsDecorated(false);
  ResultsView->setUniformRowHeights(true);
  ResultsView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ResultsView->setSelectionBehavior(QAbstractItemView::SelectRows);
  ResultsView->setContextMenuPolicy(Qt::CustomContextMenu);
  ResultsView->header()->setSectionsClickable(true);
  ResultsView->header()->setStretchLastSection(false);
  const QFontMetrics metrics(font());
  ResultsView->setColumnWidth(0, 10 * metrics.height());
  ResultsView->resizeColumnToContents(1);
  // The header alone is narrower than most sizes.
  ResultsView->setColumnWidth(2, metrics.horizontalAdvance("1023.99 KB") + 2 * metrics.height());
  ResultsView->header()->setSectionResizeMode(1, QHeaderView::Stretch);
  ResultsView->setMinimumHeight(10 * metrics.height());
  layout->addWidget(ResultsView, 1);

  auto* bar = new QStatusBar(this);
  bar->setSizeGripEnabled(false);
  for (size_t i = 0; i < Status.size(); ++i) {
    Status[i] = new QLabel(bar);
    bar->addWidget(Status[i], i == 0 ? 3 : 1);
  }
  layout->addWidget(bar);
  resize(720, sizeHint().height());
}

QWidget* TFindDialogX::BuildLocationPage() {
  auto* page = new QWidget(this);
  auto* layout = new QGridLayout(page);
  Locations = new TFindLocations(page);
  BrowseButton = Button("Browse", page);
  IncludeCd = new QCheckBox("Include CD Drives", page);
  AltDrive = Button("<>", page);
  AltDrive->setFixedWidth(AltDrive->fontMetrics().horizontalAdvance("<>") + 16);
  AltDriveLabel = new QLabel(kAltDrive, page);
  layout->addWidget(Locations, 0, 0, 4, 1);
  layout->addWidget(BrowseButton, 0, 1, 1, 2);
  layout->addWidget(IncludeCd, 1, 1, 1, 2);
  layout->addWidget(AltDrive, 2, 1);
  layout->addWidget(AltDriveLabel, 2, 2);
  layout->setColumnStretch(0, 1);
  return page;
}

QWidget* TFindDialogX::BuildSizePage() {
  auto* page = new QWidget(this);
  auto* layout = new QGridLayout(page);
  AtLeastEdit = KilobyteField(page);
  AtMostEdit = KilobyteField(page);
  SimilarSize = new QCheckBox("Size Similar to File:", page);
  ReferenceName = new QLineEdit(page);
  ReferenceName->setReadOnly(true);
  ExactSize = new QCheckBox("Exact Size", page);
  layout->addWidget(new QLabel("At Least", page), 0, 0);
  layout->addWidget(AtLeastEdit, 0, 1);
  layout->addWidget(new QLabel("KB", page), 0, 2);
  layout->addWidget(new QLabel("At most", page), 1, 0);
  layout->addWidget(AtMostEdit, 1, 1);
  layout->addWidget(new QLabel("KB", page), 1, 2);
  layout->addWidget(SimilarSize, 2, 0);
  layout->addWidget(ReferenceName, 2, 1, 1, 2);
  layout->addWidget(ExactSize, 3, 0);
  layout->setColumnStretch(1, 1);
  return page;
}

void TFindDialogX::ConnectControls() {
  connect(FindButton, &QPushButton::clicked, this, &TFindDialogX::FindClick);
  connect(PatternBox->lineEdit(), &QLineEdit::returnPressed, this, &TFindDialogX::FindClick);
  connect(BrowseButton, &QPushButton::clicked, this, &TFindDialogX::BrowseClick);
  connect(AltDrive, &QPushButton::clicked, this, &TFindDialogX::AltDriveClick);
  connect(Locations, &QListWidget::currentRowChanged, this, &TFindDialogX::EnableChoices);
  for (QRadioButton* kind : {FilesKind, FoldersKind, ContainingKind})
    connect(kind, &QRadioButton::toggled, this, &TFindDialogX::EnableChoices);
  connect(IncludeSize, &QCheckBox::toggled, this, [this](bool on) {
    EnableChoices();
    Pages->setTabVisible(1, on);
    if (on) Pages->setCurrentIndex(1);
  });
  for (QCheckBox* box : {SimilarSize, ExactSize})
    connect(box, &QCheckBox::toggled, this, [this] {
      EnableChoices();
      ReferenceChanged();
    });
  for (QLineEdit* field : {AtLeastEdit, AtMostEdit})
    connect(field, &QLineEdit::editingFinished, this, [this, field] { SizeFieldLeft(field); });
  connect(ResultsView->header(), &QHeaderView::sectionClicked, this, &TFindDialogX::HeaderClick);
  connect(ResultsView, &QTreeView::doubleClicked, this,
          [this](const QModelIndex& index) { OpenRow(index.row(), false); });
  connect(ResultsView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) RowChosen(current.row());
          });
  connect(ResultsView, &QWidget::customContextMenuRequested, this, &TFindDialogX::ShowResultMenu);
  ResultsView->installEventFilter(this);
  connect(Search, &TFindSearch::RootStarted, this,
          [this](const QString& root) { Status[0]->setText(root); });
  connect(Search, &TFindSearch::Found, this, &TFindDialogX::HitsFound);
  connect(Search, &TFindSearch::Finished, this, &TFindDialogX::SearchFinished);
  Pages->setTabVisible(1, false);
  ShowSizeFields();
}

void TFindDialogX::showEvent(QShowEvent* event) {
  // The location list is built once, when the window is first shown.
  if (!Locations->Built()) Locations->Build(QDir::currentPath());
  // Never wider than two thirds of the screen, maximised or not.
  if (const QScreen* shown = screen()) setMaximumWidth(shown->availableGeometry().width() * 2 / 3);
  EnableChoices();
  QDialog::showEvent(event);
}

void TFindDialogX::ShowFind() {
  setWindowTitle(kCaption);
  show();
  raise();
  activateWindow();
}

void TFindDialogX::SetState(TState state) {
  Now = state;
  static const char* const kLights[] = {"#00c000", "#ffff00", "#ff0000"};
  QPalette palette = Light->palette();
  palette.setColor(QPalette::Window, QColor(kLights[int(state)]));
  Light->setPalette(palette);
  FindButton->setText(state == TState::Searching ? "Stop" : "Find");
  const bool idle = state == TState::Idle;
  for (QWidget* control :
       std::initializer_list<QWidget*>{BrowseButton, AltDrive, AltDriveLabel, Locations})
    control->setEnabled(idle);
  EnableChoices();
}

void TFindDialogX::EnableChoices() {
  IncludeCd->setEnabled(Now == TState::Idle && Locations->LocalDrivesSelected());
  IncludeSize->setEnabled(FilesKind->isChecked());
  const bool sizes = IncludeSize->isChecked();
  SimilarSize->setEnabled(sizes);
  ExactSize->setEnabled(sizes && SimilarSize->isChecked());
  const bool exact = ExactSize->isEnabled() && ExactSize->isChecked();
  AtLeastEdit->setEnabled(sizes && !exact);
  AtMostEdit->setEnabled(sizes && !exact);
}

TFindCriteria TFindDialogX::Criteria() const {
  TFindCriteria criteria;
  criteria.Pattern = PatternBox->currentText();
  criteria.Kind = FoldersKind->isChecked()      ? TFindKind::Folders
                  : ContainingKind->isChecked() ? TFindKind::FoldersContaining
                                                : TFindKind::Files;
  if (IncludeSize->isChecked() && IncludeSize->isEnabled()) criteria.Size = Size.Bounds;
  criteria.Limit = kMostHits;
  return criteria;
}

void TFindDialogX::RememberPattern() {
  const QString pattern = PatternBox->currentText();
  if (PatternBox->findText(pattern, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
    PatternBox->insertItem(0, pattern);
  PatternBox->setEditText(pattern);
}

void TFindDialogX::FindClick() {
  if (Searching()) {
    Search->Stop();
    return;
  }
  SetState(TState::Preparing);
  Count = 0;
  Status[2]->setText("0");
  setWindowTitle("Kestrel!");
  RememberPattern();
  Rows->Clear();
  ResultsView->header()->setSortIndicatorShown(false); // the new rows come in the walk's order
  const TFindCriteria criteria = Criteria();
  const QStringList roots = Locations->Roots(IncludeCd->isChecked());
  SetState(TState::Searching);
  Status[1]->setText("Searching...");
  Search->Start(criteria, roots);
}

void TFindDialogX::HitsFound(const std::vector<TFindHit>& hits) {
  Rows->Append(hits);
  Count += int(hits.size());
  Status[2]->setText(QString::number(Count));
}

void TFindDialogX::SearchFinished() {
  Status[1]->setText("Done");
  SetState(TState::Idle);
  if (CloseWhenDone) {
    CloseWhenDone = false;
    close();
  }
}

void TFindDialogX::HeaderClick(int column) {
  if (Searching() || column < 0 || column > 2) return;
  const bool descending = Descending[size_t(column)];
  Rows->Sort(TFindColumn(column), descending);
  ResultsView->header()->setSortIndicatorShown(true);
  ResultsView->header()->setSortIndicator(column,
                                          descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  Descending[size_t(column)] = !descending;
}

void TFindDialogX::BrowseClick() {
  const QString folder =
      QFileDialog::getExistingDirectory(this, kBrowsePrompt, Locations->SelectedPath());
  if (!folder.isEmpty()) Locations->ChooseFolder(folder);
}

void TFindDialogX::AltDriveClick() {
  if (AltDriveLabel->text().startsWith('G')) {
    if (AltRememberedRow >= 0 && AltRememberedRow < Locations->count())
      Locations->setCurrentRow(AltRememberedRow);
    AltDriveLabel->setText(kAltDrive);
    return;
  }
  AltRememberedRow = Locations->currentRow();
  AltRemembered = Locations->currentItem() ? Locations->currentItem()->text() : QString();
  Locations->SelectLocalDrives();
  AltDriveLabel->setText("Go back to " + AltRemembered.left(3) + "...");
}

void TFindDialogX::ShowSizeFields() {
  AtLeastEdit->setText(Size.AtLeast);
  AtMostEdit->setText(Size.AtMost);
}

void TFindDialogX::SizeFieldLeft(QLineEdit* field) {
  Size.AtLeast = AtLeastEdit->text();
  Size.AtMost = AtMostEdit->text();
  const bool taken = field == AtLeastEdit ? Size.AtLeastChanged() : Size.AtMostChanged();
  if (!taken) {
    field->setFocus(); // an empty field is refused
    return;
  }
  ShowSizeFields();
}

void TFindDialogX::SetReferenceFile(const QString& file) {
  ReferenceFile = file;
  ReferenceChanged();
}

void TFindDialogX::ReferenceChanged() {
  ReferenceName->setText(QFileInfo(ReferenceFile).fileName());
  const QFileInfo reference(ReferenceFile);
  if (SimilarSize->isChecked() && SimilarSize->isEnabled() && reference.isFile()) {
    Size.SetReference(reference.size(), ExactSize->isChecked() && ExactSize->isEnabled());
    ShowSizeFields();
  } else if (Size.Exact) {
    Size.Exact = false;
    Size.AtLeastChanged();
  }
}

void TFindDialogX::SetSizeDuplicate(const QString& file) {
  const QString suffix = QFileInfo(file).suffix();
  PatternBox->setEditText(suffix.isEmpty() ? "*" : "*." + suffix);
  FilesKind->setChecked(true);
  IncludeSize->setChecked(true);
  SimilarSize->setChecked(true);
  ExactSize->setChecked(true);
  Pages->setCurrentIndex(0);
  SetReferenceFile(file);
}

void TFindDialogX::ShowNameDuplicate(const QString& name) {
  IncludeSize->setChecked(false);
  PatternBox->setEditText(name);
  ShowFind();
}

void TFindDialogX::SetPattern(const QString& text) {
  PatternBox->setEditText(text);
}

void TFindDialogX::OfferPattern(const QString& text) {
  if (!IncludeSize->isChecked()) SetPattern(text);
}

void TFindDialogX::SetSubtree(const QString& folder) {
  // The location list cannot change under a running search.
  if (!Searching()) Locations->ChooseFolder(folder);
  ShowFind();
}

void TFindDialogX::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && Searching()) {
    Search->Stop();
    return;
  }
  QDialog::keyPressEvent(event);
}

// The window is not taken away from under the walk: the walk is stopped, and the window closes
// once it has ended.
void TFindDialogX::closeEvent(QCloseEvent* event) {
  if (Searching()) {
    CloseWhenDone = true;
    Search->Stop();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

} // namespace kestrel
