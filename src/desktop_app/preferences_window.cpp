#include "desktop_app/preferences_window.h"

#include "accounts/accounts_page.h"
#include "desktop_app/icon_preferences_table.h"
#include "dialogs/dialog_service.h"
#include "model/keys.h"
#include "outline/icon_preferences.h"
#include "platform/preference_signals.h"
#include "platform/preference_table.h"
#include "platform/settings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace tardigo {

namespace {

Settings& settings() {
    return Settings::instance();
}

// The two texts the window edits, by their keys.
QString textPreference(const QString& key) {
    return key == pref::minderEmailAddress ? settings().minderEmailAddress()
                                           : settings().minderSendmailPath();
}

} // namespace

PreferencesWindow::PreferencesWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TardigoPrefs"));
    setWindowTitle(tr("Tardigo Preferences"));
    setMinimumWidth(520);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeMinderGroup());
    layout->addWidget(makeStartAndSaveGroup());
    auto* row = new QHBoxLayout;
    row->addWidget(makeCategoriesGroup(), 2);
    row->addWidget(makeSidebarGroup(), 1);
    layout->addLayout(row);
    layout->addWidget(new AccountsPage(this));
    layout->addWidget(makeIconsSection(), 1);
    // A screen too low for the whole page scrolls it; the buttons stay below it.
    _page = new QScrollArea(this);
    _page->setObjectName(QStringLiteral("preferencesPage"));
    _page->setFrameShape(QFrame::NoFrame);
    _page->setWidgetResizable(true);
    _page->setWidget(page);

    _buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* reset = _buttons->addButton(QDialogButtonBox::RestoreDefaults);
    reset->setObjectName(QStringLiteral("defaultPrefsButton"));
    connect(reset, &QPushButton::clicked, this, &PreferencesWindow::resetPreferences);
    connect(_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* window = new QVBoxLayout(this);
    window->addWidget(_page, 1);
    window->addWidget(_buttons);
    updateUI();
}

void PreferencesWindow::fitToScreen() {
    const QScreen* shown = screen();
    if (!shown)
        return;
    // The desktop's title bar and border come on top of the window, which is framed only once shown.
    const QRect inner = geometry(), outer = frameGeometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    const QMargins usualFrame = frame.isNull() ? QMargins(10, 40, 10, 10) : frame;
    const QRect room = shown->availableGeometry().marginsRemoved(usualFrame);
    const QMargins margins = layout()->contentsMargins();
    // The page's hints as it is now, with a section just opened or closed.
    _page->widget()->layout()->activate();
    const QSize page = _page->widget()->sizeHint().expandedTo(_page->widget()->minimumSizeHint());
    const QSize whole(page.width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + margins.left() +
                          margins.right(),
                      page.height() + layout()->spacing() + _buttons->sizeHint().height() + margins.top() +
                          margins.bottom());
    QRect fitted(geometry().topLeft(), whole.expandedTo(minimumSize()).boundedTo(room.size()));
    if (isVisible()) {
        fitted.moveLeft(std::clamp(fitted.left(), room.left(), room.right() + 1 - fitted.width()));
        fitted.moveTop(std::clamp(fitted.top(), room.top(), room.bottom() + 1 - fitted.height()));
        setGeometry(fitted);
    } else {
        resize(fitted.size());
    }
}

QCheckBox* PreferencesWindow::checkbox(const QString& objectName, const QString& title,
                                       const SettingsFlag& preference) {
    auto* box = new QCheckBox(title, this);
    box->setObjectName(objectName);
    _checkboxes[box] = preference;
    connect(box, &QCheckBox::toggled, this, [this, preference](bool on) { checkboxToggled(preference, on); });
    return box;
}

QWidget* PreferencesWindow::makeMinderGroup() {
    auto* group = new QGroupBox(tr("Minder"), this);
    auto* form = new QFormLayout(group);
    form->addRow(checkbox(QStringLiteral("minderEnabledCheckbox"),
                          tr("&Remind me of due items and reminders"),
                          {&Settings::minderEnabled, &Settings::setMinderEnabled}));
    _minutes = new QLineEdit(group);
    _minutes->setObjectName(QStringLiteral("minderPeriodMinutes"));
    _minutes->setMaximumWidth(80);
    connect(_minutes, &QLineEdit::editingFinished, this, &PreferencesWindow::minutesEdited);
    auto* every = new QHBoxLayout;
    every->addWidget(_minutes);
    every->addWidget(new QLabel(tr("minutes"), group));
    every->addStretch();
    auto* everyLabel = new QLabel(tr("Look e&very:"), group);
    everyLabel->setBuddy(_minutes);
    form->addRow(everyLabel, every);
    _minutes->setAccessibleName(tr("Minutes between the minder's looks"));

    auto* announce = new QVBoxLayout;
    announce->addWidget(checkbox(QStringLiteral("alertDialogCheckbox"), tr("An &alert on the list"),
                                 {&Settings::minderAlertDialog, &Settings::setMinderAlertDialog}));
    announce->addWidget(
        checkbox(QStringLiteral("desktopNotificationCheckbox"), tr("A des&ktop notification"),
                 {&Settings::minderDesktopNotification, &Settings::setMinderDesktopNotification}));
    announce->addWidget(checkbox(QStringLiteral("alertSoundCheckbox"), tr("A &sound"),
                                 {&Settings::minderAlertSound, &Settings::setMinderAlertSound}));
    announce->addWidget(checkbox(QStringLiteral("alertSpeakCheckbox"), tr("S&peaking the item's name"),
                                 {&Settings::minderSpeak, &Settings::setMinderSpeak}));
    announce->addWidget(checkbox(QStringLiteral("alertEmailCheckbox"), tr("An &e-mail"),
                                 {&Settings::minderEmail, &Settings::setMinderEmail}));
    form->addRow(tr("Announce with:"), announce);

    _emailAddress = new QLineEdit(group);
    _emailAddress->setObjectName(QStringLiteral("emailAddressField"));
    _emailAddress->setPlaceholderText(tr("the address in $EMAIL"));
    connect(_emailAddress, &QLineEdit::editingFinished, this,
            [this] { textEdited(_emailAddress, pref::minderEmailAddress); });
    form->addRow(tr("E-mail &to:"), _emailAddress);
    _sendmailPath = new QLineEdit(group);
    _sendmailPath->setObjectName(QStringLiteral("sendmailPathField"));
    connect(_sendmailPath, &QLineEdit::editingFinished, this,
            [this] { textEdited(_sendmailPath, pref::minderSendmailPath); });
    form->addRow(tr("Send mai&l with:"), _sendmailPath);
    return group;
}

QWidget* PreferencesWindow::makeStartAndSaveGroup() {
    auto* group = new QGroupBox(tr("Start-up and saving"), this);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(checkbox(
        QStringLiteral("rememberWorkspaceCheckbox"), tr("Reopen the lists that were open when Tardigo &quit"),
        {&Settings::loadPreviousListOnStartup, &Settings::setLoadPreviousListOnStartup}));
    layout->addWidget(checkbox(QStringLiteral("autoSaveCheckbox"), tr("Save lists a&utomatically"),
                               {&Settings::autoSave, &Settings::setAutoSave}));
    layout->addWidget(checkbox(QStringLiteral("lastWindowCloseQuitsCheckbox"),
                               tr("Quit when the last list &window closes"),
                               {&Settings::lastWindowCloseQuits, &Settings::setLastWindowCloseQuits}));
    return group;
}

QRadioButton* PreferencesWindow::choice(QGroupBox* group, const QString& objectName, const QString& title,
                                        std::function<void()> chosen) {
    auto* button = new QRadioButton(title, group);
    button->setObjectName(objectName);
    group->findChild<QButtonGroup*>()->addButton(button);
    group->layout()->addWidget(button);
    connect(button, &QRadioButton::toggled, this, [chosen = std::move(chosen)](bool on) {
        if (on)
            chosen();
    });
    return button;
}

QGroupBox* PreferencesWindow::choiceGroup(const QString& title) {
    auto* group = new QGroupBox(title, this);
    new QVBoxLayout(group);
    new QButtonGroup(group);
    return group;
}

QWidget* PreferencesWindow::makeCategoriesGroup() {
    QGroupBox* group = choiceGroup(tr("Category lists offer"));
    _categoriesLocal = choice(group, QStringLiteral("categoriesScopeLocalRadioButton"),
                              tr("The categories of the list &itself"), [this] { categoriesAction(true); });
    _categoriesGlobal = choice(group, QStringLiteral("categoriesScopeGlobalRadioButton"),
                               tr("The categories of all &open lists"), [this] { categoriesAction(false); });
    return group;
}

QWidget* PreferencesWindow::makeSidebarGroup() {
    QGroupBox* group = choiceGroup(tr("The inspector opens on the"));
    _sidebarLeft = choice(group, QStringLiteral("sidebarLeftSideRadioButton"), tr("Le&ft"),
                          [this] { sidebarAction(0); });
    _sidebarRight = choice(group, QStringLiteral("sidebarRightSideRadioButton"), tr("Ri&ght"),
                           [this] { sidebarAction(2); });
    return group;
}

QWidget* PreferencesWindow::makeIconsSection() {
    auto* holder = new QWidget(this);
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    _iconsToggle = new QToolButton(holder);
    _iconsToggle->setObjectName(QStringLiteral("iconsSectionToggle"));
    _iconsToggle->setText(tr("I&cons"));
    _iconsToggle->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    _iconsToggle->setArrowType(Qt::RightArrow);
    _iconsToggle->setCheckable(true);
    _iconsToggle->setAutoRaise(true);
    _iconsToggle->setAccessibleName(tr("Show the icons"));
    layout->addWidget(_iconsToggle);

    _iconsSection = new QWidget(holder);
    auto* section = new QVBoxLayout(_iconsSection);
    section->setContentsMargins(0, 0, 0, 0);
    _icons = new IconPreferencesTable(_iconsSection);
    _icons->setMinimumHeight(220);
    section->addWidget(_icons);
    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(tr("A&dd Icon…"), _iconsSection);
    add->setObjectName(QStringLiteral("addIcon"));
    auto* remove = new QPushButton(tr("Re&move Icon"), _iconsSection);
    remove->setObjectName(QStringLiteral("removeIcon"));
    _removeIcon = remove;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    section->addLayout(buttons);
    layout->addWidget(_iconsSection, 1);
    _iconsSection->hide();

    connect(_iconsToggle, &QToolButton::toggled, this, [this](bool open) {
        _iconsToggle->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
        _iconsSection->setVisible(open);
        fitToScreen();
    });
    connect(add, &QPushButton::clicked, this, &PreferencesWindow::addIcon);
    connect(remove, &QPushButton::clicked, this, &PreferencesWindow::removeIcon);
    connect(_icons, &QTableWidget::itemSelectionChanged, this,
            [this] { _removeIcon->setEnabled(!_icons->selectedItems().isEmpty()); });
    connect(_icons, &IconPreferencesTable::iconRuleChanged, this, &PreferencesWindow::updateUI);
    return holder;
}

void PreferencesWindow::updateUI() {
    _updating = true;
    // The open lists first add their categories to the global list, which the icon table offers.
    emit PreferenceSignals::instance().globalCategoriesRequested();
    _icons->reload(settings().globalCategories());
    _removeIcon->setEnabled(!_icons->selectedItems().isEmpty());
    for (const auto& [box, preference] : _checkboxes)
        box->setChecked(preference.value());
    _minutes->setText(QString::number(settings().minderIntervalMinutes()));
    _emailAddress->setText(textPreference(pref::minderEmailAddress));
    _sendmailPath->setText(textPreference(pref::minderSendmailPath));
    const bool local = settings().categoriesLocalScope();
    _categoriesLocal->setChecked(local);
    _categoriesGlobal->setChecked(!local);
    // A side other than left (0) or right (2) shows neither.
    const qint64 side = settings().drawerSide();
    for (QRadioButton* button : {_sidebarLeft, _sidebarRight})
        button->group()->setExclusive(false);
    _sidebarLeft->setChecked(side == 0);
    _sidebarRight->setChecked(side == 2);
    _sidebarLeft->group()->setExclusive(true);
    _updating = false;
}

void PreferencesWindow::showIcons() {
    _iconsToggle->setChecked(true);
}

void PreferencesWindow::checkboxToggled(const SettingsFlag& preference, bool on) {
    if (_updating)
        return;
    preference.setValue(on);
    if (preference.set == &Settings::setAutoSave && on)
        emit autoSaveTurnedOn();
}

void PreferencesWindow::minutesEdited() {
    if (_updating)
        return;
    bool isNumber = false;
    const qint64 minutes = _minutes->text().trimmed().toLongLong(&isNumber);
    if (isNumber && preferenceAccepts(pref::tardigoMinderRunIntervalMin, Value::integer(minutes))) {
        if (minutes != settings().minderIntervalMinutes())
            settings().setMinderIntervalMinutes(minutes);
        return;
    }
    // Anything but a number of minutes in range is refused: the stored minutes come back.
    const qint64 stored = settings().minderIntervalMinutes();
    _minutes->setText(QString::number(stored));
    settings().setMinderIntervalMinutes(stored);
}

void PreferencesWindow::textEdited(QLineEdit* field, const QString& key) {
    if (_updating)
        return;
    const QString text = field->text().trimmed();
    if (text == textPreference(key))
        return;
    if (text.isEmpty())
        settings().remove(key);
    else
        settings().setValue(key, text);
}

void PreferencesWindow::categoriesAction(bool local) {
    if (_updating)
        return;
    settings().setCategoriesLocalScope(local);
    if (local)
        settings().setGlobalCategories({});
    else
        emit PreferenceSignals::instance().globalCategoriesRequested();
}

void PreferencesWindow::sidebarAction(int side) {
    if (!_updating)
        settings().setDrawerSide(side);
}

void PreferencesWindow::addIcon() {
    const QString path = DialogService::imageFileName(this);
    if (path.isEmpty())
        return;
    IconPreferences::addIcon(path);
    updateUI();
    _icons->scrollToBottom();
}

void PreferencesWindow::removeIcon() {
    const QList<QTableWidgetItem*> selected = _icons->selectedItems();
    if (selected.isEmpty() || !IconPreferences::removeIcon(selected.front()->row())) {
        QApplication::beep();
        return;
    }
    _icons->clearSelection();
    updateUI();
}

void PreferencesWindow::resetPreferences() {
    const QMessageBox::StandardButton answer =
        DialogService::question(this, QMessageBox::Question, tr("Restore Defaults"),
                                tr("Restore the preferences of this window to Tardigo's own?"),
                                tr("Your own icons and the rules you gave the icons are removed too."),
                                QMessageBox::RestoreDefaults | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::RestoreDefaults)
        return;
    for (const QString& key :
         {pref::tardigoMinderEnabled, pref::tardigoMinderRunIntervalMin, pref::minderAlertDialog,
          pref::minderDesktopNotification, pref::minderAlertSound, pref::minderSpeak, pref::minderEmail,
          pref::minderEmailAddress, pref::minderSendmailPath, pref::loadPreviousListOnStartup, pref::autoSave,
          pref::lastWindowCloseQuits, pref::categoriesLocalScope, pref::categoriesGlobalList,
          pref::drawerSide, pref::todoItemIcons, pref::todoItemIconConditions, pref::todoItemIconCategories})
        settings().remove(key);
    updateUI();
}

void PreferencesWindow::done(int result) {
    // What is typed but not yet entered counts.
    minutesEdited();
    textEdited(_emailAddress, pref::minderEmailAddress);
    textEdited(_sendmailPath, pref::minderSendmailPath);
    emit PreferenceSignals::instance().preferencesChanged();
    emit preferencesApplied();
    QDialog::done(result);
}

bool PreferencesWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        updateUI();
    if (event->type() == QEvent::Show && !event->spontaneous())
        fitToScreen();
    return QDialog::event(event);
}

} // namespace tardigo
