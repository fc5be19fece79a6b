#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tardigo {

/// Asks on a list's window, when the server refused an account's password during a sync, for the
/// password again; declining stops the list's syncing for now. Nothing in the list has changed.
class PasswordQuestion : public QDialog {
    Q_OBJECT
public:
    /// The account's name, its server as messages name one, and the user name the server refused.
    PasswordQuestion(QWidget* window, const QString& account, const QString& server, const QString& user);

    QString password() const;

private:
    QLineEdit* _password = nullptr;
    QPushButton* _sync = nullptr;
};

} // namespace tardigo
