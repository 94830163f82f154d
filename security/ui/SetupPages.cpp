#include "security/ui/SetupPages.h"

#include "ui/text/QtText.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/settings/SetupData.h"
#include "core/text/CodePage.h"
#include "security/SecurityIds.h"
#include "security/ui/PinDialogs.h"

namespace evdo {

namespace {

constexpr StringId kButtonTexts[4] = {kStrButtonLockOn, kStrButtonLockOff, kStrButtonUnblock,
                                      kStrButtonChangePin};
constexpr int kButtonIds[4] = {kCtlLockOn, kCtlLockOff, kCtlUnblock, kCtlChangePin};
constexpr StringId kPreferenceTexts[CDlgSetupNWSel::kPreferenceCount] = {
    kStrPreference1, kStrPreference2, kStrPreference3, kStrPreference4};
// The preference radio buttons' control ids, in index order.
constexpr int kPreferenceIds[CDlgSetupNWSel::kPreferenceCount] = {1189, 1190, 1191, 1196};
constexpr int kPreferenceGroupId = 1188;


QString StateText(std::int32_t state) {
  switch (state) {
    case 0: return SecurityText(kStrOperatorUnknown);
    case 1: return SecurityText(kStrOperatorAvailable);
    case 2: return SecurityText(kStrOperatorCurrent);
    case 3: return SecurityText(kStrOperatorForbidden);
    default: return {};
  }
}

QString TechnologyText(std::int32_t technology) {
  switch (technology) {
    case 0: return SecurityText(kStrAccessGsm);
    case 1: return SecurityText(kStrAccessGsmCompact);
    case 2: return SecurityText(kStrAccessUtran);
    default: return {};
  }
}

}  // namespace

// ---------------------------------------------------------------------------

CPinButtons::CPinButtons(const SecurityContext& context, QWidget* parent)
    : CBasePage(parent),
      context_(context),
      exchange_(*context.exchange, Port()),
      card_(*context.pin, exchange_),
      procedure_(card_, SecurityButtonsView{
                            [this](bool e) { Enable(e); },
                            [this](StringId id) { ShowSecurityMessage(this, id); },
                            [this](int mode, std::function<void()> closed) { OpenLock(mode, std::move(closed)); },
                            [this](int mode, std::function<void()> closed) { OpenModify(mode, std::move(closed)); },
                        }) {
  setObjectName("CPinButtons");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < 4; ++i) {
    auto* button = new QPushButton(SecurityText(kButtonTexts[i]), this);
    button->setObjectName(QString("button%1").arg(kButtonIds[i]));
    buttons_[static_cast<std::size_t>(i)] = button;
    layout->addWidget(button, i / 2, i % 2);
    connect(button, &QPushButton::clicked, this,
            [this, i] { procedure_.Press(static_cast<SecurityButton>(i)); });
  }
}

void CPinButtons::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  exchange_.OnMessage(message, wParam, lParam);
}

void CPinButtons::Enable(bool enabled) {
  enabled_ = enabled;
  for (QPushButton* b : buttons_) b->setEnabled(enabled_ && allowed_);
}

void CPinButtons::SetAllowed(bool allowed) {
  allowed_ = allowed;
  Enable(enabled_);
}

void CPinButtons::OpenLock(int mode, std::function<void()> closed) {
  auto* dialog = new CPinClckDlg(context_, mode, window());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::finished, this, [closed](int) { closed(); });
  dialog->open();
}

void CPinButtons::OpenModify(int mode, std::function<void()> closed) {
  auto* dialog = new CModifyPinDlg(context_, mode, false, window());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QDialog::finished, this, [closed](int) { closed(); });
  dialog->open();
}

CDlgSetupSecurity::CDlgSetupSecurity(const SecurityContext& context, QWidget* parent)
    : CBasePage(parent), buttons_(new CPinButtons(context, this)) {
  setObjectName("CDlgSetupSecurity");
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(SecurityText(kStrGroupPin), this);
  auto* inner = new QVBoxLayout(group);
  inner->addWidget(buttons_);
  layout->addWidget(group);
  layout->addStretch(1);
}

// ---------------------------------------------------------------------------

CDlgSetupGeneral::CDlgSetupGeneral(const SecurityContext& context, QWidget* parent)
    : CBasePage(parent),
      on_(new QPushButton(SecurityText(kStrButtonRadioOn), this)),
      off_(new QPushButton(SecurityText(kStrButtonRadioOff), this)),
      state_(new QLabel(this)),
      buttons_(new CPinButtons(context, this)),
      radio_(*context.exchange, Port(), View(), CSetupData::Instance()) {
  setObjectName("CDlgSetupGeneral");
  on_->setObjectName(QString("button%1").arg(kCtlRadioOn));
  off_->setObjectName(QString("button%1").arg(kCtlRadioOff));
  state_->setObjectName("radioState");
  auto* layout = new QVBoxLayout(this);
  auto* radioGroup = new QGroupBox(SecurityText(kStrGroupRadio), this);
  auto* radioRow = new QHBoxLayout(radioGroup);
  radioRow->addWidget(state_, 1);
  radioRow->addWidget(on_);
  radioRow->addWidget(off_);
  layout->addWidget(radioGroup);
  auto* pinGroup = new QGroupBox(SecurityText(kStrGroupPin), this);
  auto* pinLayout = new QVBoxLayout(pinGroup);
  pinLayout->addWidget(buttons_);
  layout->addWidget(pinGroup);
  layout->addStretch(1);
  connect(on_, &QPushButton::clicked, this, [this] { radio_.Switch(true); });
  connect(off_, &QPushButton::clicked, this, [this] { radio_.Switch(false); });
}

RadioView CDlgSetupGeneral::View() {
  RadioView view;
  view.enableRadio = [this](bool on, bool off) {
    on_->setEnabled(on);
    off_->setEnabled(off);
    if (!radio_.IsBusy()) state_->setText(SecurityText(radio_.IsOn() ? kStrRadioIsOn : kStrRadioIsOff));
  };
  view.enablePinButtons = [this](bool enabled) { buttons_->SetAllowed(enabled); };
  view.showMessage = [this](StringId id) { ShowSecurityMessage(this, id); };
  view.setBusy = [this](bool busy) {
    if (busy)
      setCursor(Qt::WaitCursor);
    else
      unsetCursor();
  };
  view.saveSettings = [] { return static_cast<bool>(SaveSettings()); };
  return view;
}

void CDlgSetupGeneral::showEvent(QShowEvent* event) {
  CBasePage::showEvent(event);
  if (radio_.IsBusy()) return;
  LoadSettings();
  radio_.Open();
}

// ---------------------------------------------------------------------------

CDlgMsg::CDlgMsg(QWidget* parent) : QFrame(parent), text_(new QLabel(this)) {
  setObjectName("CDlgMsg");
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  text_->setObjectName("progressText");
  text_->setTextFormat(Qt::PlainText);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(text_);
  hide();
}

void CDlgMsg::Show(StringId text, int counter) {
  QString full = SecurityText(text);
  std::size_t shown = ProgressVisibleChars(static_cast<std::size_t>(full.size()), counter);
  // The full text sizes the window, so it does not jump while the dots come.
  text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance(full) + 4);
  text_->setText(full.left(static_cast<qsizetype>(shown)));
  adjustSize();
  if (auto* page = parentWidget()) move((page->width() - width()) / 2, (page->height() - height()) / 2);
  show();
  raise();
}

QString CDlgMsg::Text() const { return text_->text(); }

CDlgSetupNWSel::CDlgSetupNWSel(const SecurityContext& context, QWidget* parent)
    : CBasePage(parent),
      context_(context),
      automatic_(new QRadioButton(SecurityText(kStrModeAutomatic), this)),
      manual_(new QRadioButton(SecurityText(kStrModeManual), this)),
      list_(new QTreeWidget(this)),
      search_(new QPushButton(SecurityText(kStrButtonSearch), this)),
      register_(new QPushButton(SecurityText(kStrButtonRegister), this)),
      apply_(new QPushButton(SecurityText(kStrButtonApply), this)),
      progress_(new CDlgMsg(this)),
      selection_(*context.exchange, Port(), View()) {
  setObjectName("CDlgSetupNWSel");
  controls_ = {{kCtlModeAutomatic, automatic_}, {kCtlModeManual, manual_}, {kCtlOperatorList, list_},
               {kCtlSearch, search_}, {kCtlRegister, register_}, {kCtlApplyPreference, apply_}};
  auto* layout = new QVBoxLayout(this);

  auto* selectionGroup = new QGroupBox(SecurityText(kStrGroupSelectionMode), this);
  auto* selectionLayout = new QGridLayout(selectionGroup);
  auto* modes = new QButtonGroup(this);
  modes->addButton(automatic_, 0);
  modes->addButton(manual_, 1);
  automatic_->setChecked(true);
  selectionLayout->addWidget(automatic_, 0, 0);
  selectionLayout->addWidget(manual_, 0, 1);
  list_->setObjectName("CNWListCtrl");
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setStyleSheet("QTreeView::item { border-right: 1px solid #c0c0c0; border-bottom: 1px solid #c0c0c0; }");
  QStringList columns{SecurityText(kStrColumnOperatorState), SecurityText(kStrColumnOperatorName)};
  std::vector<int> widths{80, 130};
  if (CSetupData::Instance().Main_nCompany != 2) {
    columns << SecurityText(kStrColumnOperatorCode);
    widths.push_back(60);
  }
  columns << SecurityText(kStrColumnAccessTechnology);
  widths.push_back(105);
  list_->setHeaderLabels(columns);
  for (std::size_t i = 0; i < widths.size(); ++i) list_->setColumnWidth(static_cast<int>(i), widths[i]);
  selectionLayout->addWidget(list_, 1, 0, 1, 3);
  auto* commandRow = new QHBoxLayout();
  commandRow->addStretch(1);
  search_->setObjectName(QString("button%1").arg(kCtlSearch));
  register_->setObjectName(QString("button%1").arg(kCtlRegister));
  commandRow->addWidget(search_);
  commandRow->addWidget(register_);
  selectionLayout->addLayout(commandRow, 2, 0, 1, 3);
  layout->addWidget(selectionGroup, 1);

  auto* preferenceGroup = new QGroupBox(SecurityText(kStrGroupPreference), this);
  controls_[kPreferenceGroupId] = preferenceGroup;
  auto* preferenceLayout = new QGridLayout(preferenceGroup);
  auto* choices = new QButtonGroup(this);
  for (int i = 0; i < kPreferenceCount; ++i) {
    auto* choice = new QRadioButton(SecurityText(kPreferenceTexts[i]), preferenceGroup);
    choice->setObjectName(QString("preference%1").arg(i));
    choices->addButton(choice, i);
    preferences_[static_cast<std::size_t>(i)] = choice;
    controls_[kPreferenceIds[i]] = choice;
    preferenceLayout->addWidget(choice, i / 2, i % 2);
  }
  preferences_[kInitialPreference]->setChecked(true);
  apply_->setObjectName(QString("button%1").arg(kCtlApplyPreference));
  preferenceLayout->addWidget(apply_, 2, 1, Qt::AlignRight);
  layout->addWidget(preferenceGroup);

  connect(modes, &QButtonGroup::idClicked, this, [this](int mode) { selection_.SetMode(mode); });
  connect(search_, &QPushButton::clicked, this, [this] { selection_.Search(); });
  connect(register_, &QPushButton::clicked, this, [this] {
    QTreeWidgetItem* row = list_->currentItem();
    if (row != nullptr && !row->isSelected()) row = nullptr;
    int index = row == nullptr ? -1 : list_->indexOfTopLevelItem(row);
    std::string name = row == nullptr ? std::string() : row->data(1, Qt::UserRole).toByteArray().toStdString();
    selection_.Register(index, name);
  });
  connect(apply_, &QPushButton::clicked, this, [this, choices] { selection_.SetPreference(choices->checkedId()); });
}

QWidget* CDlgSetupNWSel::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

NetworkPageView CDlgSetupNWSel::View() {
  NetworkPageView view;
  view.enable = [this](const std::vector<int>& ids, bool enabled) {
    for (int id : ids) {
      if (QWidget* control = Control(id)) control->setEnabled(enabled);
    }
  };
  view.showProgress = [this](StringId text, int counter) { progress_->Show(text, counter); };
  view.hideProgress = [this] { progress_->hide(); };
  view.fillList = [this](const OperatorList& list) { Fill(list); };
  view.showMessage = [this](StringId id) { ShowSecurityMessage(this, id); };
  return view;
}

void CDlgSetupNWSel::Fill(const OperatorList& list) {
  list_->clear();
  bool threeColumns = list_->columnCount() == 3;
  for (std::size_t i = 0; i < list.count; ++i) {
    const NetworkEntry& entry = list.entries[i];
    auto* row = new QTreeWidgetItem(list_);
    row->setText(0, StateText(entry.operatorState));
    row->setText(1, FromAnsi(entry.shortName));
    // The name as the modem gave it, for the registration command.
    row->setData(1, Qt::UserRole, QByteArray(entry.shortName));
    row->setToolTip(1, FromAnsi(entry.longName));
    if (threeColumns) {
      row->setText(2, TechnologyText(entry.accessTechnology));
    } else {
      row->setText(2, QString::number(entry.numericCode));
      row->setText(3, TechnologyText(entry.accessTechnology));
    }
  }
}

void CDlgSetupNWSel::showEvent(QShowEvent* event) {
  CBasePage::showEvent(event);
  if (selection_.IsBusy()) return;
  selection_.Open(context_.isConnected && context_.isConnected());
}

void CDlgSetupNWSel::resizeEvent(QResizeEvent* event) {
  CBasePage::resizeEvent(event);
  if (progress_->isVisible()) {
    progress_->move((width() - progress_->width()) / 2, (height() - progress_->height()) / 2);
  }
}

}  // namespace evdo
