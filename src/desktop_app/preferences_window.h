#pragma once

#include "platform/settings.h"

#include <QDialog>

#include <functional>
#include <map>

class QAbstractButton;
class QCheckBox;
class QDialogButtonBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QScrollArea;
class QToolButton;
class QWidget;

namespace tardigo {

class IconPreferencesTable;

/// The preferences window: the minder, start-up and saving, the category lists, the inspector's
/// side, the CalDAV accounts and the icons. Every control writes its preference at once; closing announces
/// the change to the open lists and has the minder rescheduled. Made once and kept; it shows the present
/// preferences whenever it comes to the front.
class PreferencesWindow : public QDialog {
    Q_OBJECT
public:
    explicit PreferencesWindow(QWidget* parent = nullptr);

    /// Fills every control from the preferences.
    void updateUI();
    /// Opens the icon section.
    void showIcons();

    /// Takes what is typed, announces the preferences to the lists and asks for the minder anew;
    /// then the window hides.
    void done(int result) override;

signals:
    /// The window closed with the preferences applied: the minder follows them.
    void preferencesApplied();
    /// "autoSave" was just turned on: every open list saves now.
    void autoSaveTurnedOn();

protected:
    bool event(QEvent* event) override;

private:
    QWidget* makeMinderGroup();
    QWidget* makeStartAndSaveGroup();
    QWidget* makeCategoriesGroup();
    QWidget* makeSidebarGroup();
    QWidget* makeIconsSection();
    QCheckBox* checkbox(const QString& objectName, const QString& title, const SettingsFlag& preference);
    /// A group of choices, each a radio button added by choice().
    QGroupBox* choiceGroup(const QString& title);
    QRadioButton* choice(QGroupBox* group, const QString& objectName, const QString& title,
                         std::function<void()> chosen);
    void checkboxToggled(const SettingsFlag& preference, bool on);
    void minutesEdited();
    /// Stores the field's text under the key; an empty field gives the preference its default.
    void textEdited(QLineEdit* field, const QString& key);
    void categoriesAction(bool local);
    void sidebarAction(int side);
    void addIcon();
    void removeIcon();
    void resetPreferences();
    /// As large as the page wants, up to the screen it is on, and all of it on that screen.
    void fitToScreen();

    std::map<QCheckBox*, SettingsFlag> _checkboxes;
    QLineEdit* _minutes = nullptr;
    QLineEdit* _emailAddress = nullptr;
    QLineEdit* _sendmailPath = nullptr;
    QRadioButton* _categoriesLocal = nullptr;
    QRadioButton* _categoriesGlobal = nullptr;
    QRadioButton* _sidebarLeft = nullptr;
    QRadioButton* _sidebarRight = nullptr;
    QScrollArea* _page = nullptr;
    QDialogButtonBox* _buttons = nullptr;
    QToolButton* _iconsToggle = nullptr;
    QWidget* _iconsSection = nullptr;
    IconPreferencesTable* _icons = nullptr;
    QAbstractButton* _removeIcon = nullptr;
    bool _updating = false; // filling the controls writes nothing back
};

} // namespace tardigo
