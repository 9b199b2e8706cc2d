#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "sync/server_config.h"

namespace sorelka::testing {

// A throwaway PostgreSQL cluster in a temporary folder, on a free local
// port, with the shipped server SQL loaded into database "sorelka", a login
// role "pc" (password in password_file()) that has the PCs' rights and a
// login role "teacher" granted no class yet. It takes TLS with a certificate
// for "localhost" from a throwaway CA (ca_file()). PostgreSQL refuses to
// run as root, so as root the cluster runs as the "postgres" (or "nobody")
// user. The server dies with the test process (parent-death signal), so a
// crashed test leaves no server behind.
class PgCluster {
public:
    PgCluster();
    ~PgCluster();

    // Makes and starts the cluster; false with the reason when it cannot.
    bool Create(QString* problem);
    // Stops the server (fast shutdown: connections are cut) / starts it again.
    void Stop();
    bool Start(QString* problem);

    int port() const { return port_; }
    QString password_file() const;
    // The PCs' configuration of this server: role "pc" without TLS.
    sync::ServerConfig Config() const;
    // The same signed in as the teacher's role "teacher".
    sync::ServerConfig TeacherConfig() const;
    // The same over TLS that checks the server: host "localhost",
    // sslmode=verify-full with the throwaway CA.
    sync::ServerConfig TlsConfig() const;
    QString ca_file() const;
    // Gives the server a certificate (from the same CA) for `host` instead;
    // false with the reason when it cannot.
    bool UseCertificateFor(const QString& host, QString* problem);

    // Runs `sql` through psql over TCP signed in as `config` says (its
    // user, password and TLS); false with psql's error in `output`.
    bool PsqlAs(const sync::ServerConfig& config, const QString& sql, QString* output = nullptr) const;

    // Runs packaging/server/add-pc.sh `name` against this server (as the
    // superuser, the printed lines naming "localhost" and ca_file()); its
    // standard output, empty on a failure.
    QString AddPc(const QString& name) const;

    // Runs `sql` as the superuser in database "sorelka"; the rows, each
    // field joined by "|". Empty and *ok false on an error.
    QStringList Query(const QString& sql, bool* ok = nullptr) const;
    // Runs psql with `args` against database "sorelka" as the superuser.
    bool Psql(const QStringList& args, QString* output = nullptr) const;
    // The psql program and its arguments for that, to run it alongside.
    QString psql() const { return bin_ + QStringLiteral("/psql"); }
    QStringList PsqlArgs(const QStringList& args) const;

private:
    QStringList AsServerUser(const QString& program, const QStringList& args) const;
    bool Run(const QString& program, const QStringList& args, QString* output) const;
    bool MakeCertificates(QString* problem);
    bool MakeServerCertificate(const QString& host, QString* problem);
    QString WritePassword(const QString& name, const QString& password) const;

    QString bin_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QProcess> server_;
    int port_ = 0;
    QString user_;
};

// A local TCP port nobody listens on at the moment of the call.
int FreePort();

// Where the shipped server SQL lies in the source tree.
QString ServerSql();

}  // namespace sorelka::testing
