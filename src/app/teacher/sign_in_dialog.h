#pragma once

#include <QDialog>
#include <memory>

#include "sync/server_config.h"

class QLabel;
class QLineEdit;

namespace sorelka {

namespace sync {
class TeacherSession;
}

// SignInDialog: with a school server configured, "先生用…" asks for the
// teacher's own server account: TeacherUserEdit, TeacherPasswordEdit (not
// shown as typed), "サインイン" (SignInButton), why not in SignInMessage.
// The password goes to the server and nowhere else: it is not stored,
// logged or kept in the edit after a try. "このPCの記録だけ見る…"
// (ThisPcOnlyButton) leaves the dialog for the PIN and this PC's record,
// for a server that cannot be reached.
class SignInDialog : public QDialog {
    Q_OBJECT
public:
    SignInDialog(const sync::ServerConfig& pc_config, QWidget* parent);
    ~SignInDialog() override;

    // The signed-in session once the dialog was accepted.
    std::unique_ptr<sync::TeacherSession> TakeSession();
    // True when the teacher chose this PC's record instead.
    bool this_pc_only() const { return this_pc_only_; }

public slots:
    void Submit();

private:
    sync::ServerConfig pc_config_;
    std::unique_ptr<sync::TeacherSession> session_;
    bool this_pc_only_ = false;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLabel* message_ = nullptr;
};

}  // namespace sorelka
