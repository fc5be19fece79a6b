#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace tardigo {

/// Asks on a list's window for an account's password during a sync, when the server refused the
/// one kept or the one typed, or the keyring holds none; declining stops the list's syncing for now. Nothing
/// in the list has changed.
class PasswordQuestion : public QDialog {
    Q_OBJECT
public:
    enum class Reason {
        Refused,      // the password kept for the account
        TypedRefused, // the one the user typed for the sync just now
        Missing,      // the keyring holds none
    };
    /// The account's name, its server as messages name one, and the account's user name.
    PasswordQuestion(QWidget* window, Reason reason, const QString& account, const QString& server,
                     const QString& user);

    QString password() const;

private:
    QLineEdit* _password = nullptr;
    QPushButton* _sync = nullptr;
};

} // namespace tardigo
