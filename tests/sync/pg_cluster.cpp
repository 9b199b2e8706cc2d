#include "sync/pg_cluster.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sorelka::testing {

namespace {

// The newest PostgreSQL installed the Debian way.
QString FindBinFolder() {
    QDir lib(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions) {
        const QString bin = lib.filePath(v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/pg_ctl"))) return bin;
    }
    return QString();
}

const QString kPassword = QStringLiteral("pc-secret-ぱすわーど");

}  // namespace

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0) ::close(fd);
    return port;
}

QString ServerSql() { return QStringLiteral(SORELKA_SOURCE_DIR "/packaging/server/sorelka_server.sql"); }

PgCluster::PgCluster() : bin_(FindBinFolder()) {}

PgCluster::~PgCluster() { Stop(); }

QStringList PgCluster::AsServerUser(const QString& program, const QStringList& args) const {
    // setpriv execs the program itself, so the parent-death signal reaches the server.
    QStringList full{QStringLiteral("--pdeathsig"), QStringLiteral("KILL")};
    if (!user_.isEmpty())
        full << QStringLiteral("--reuid") << user_ << QStringLiteral("--regid") << user_
             << QStringLiteral("--clear-groups");
    return full << program << args;
}

bool PgCluster::Run(const QString& program, const QStringList& args, QString* output) const {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool finished = p.waitForStarted(10000) && p.waitForFinished(60000);
    const QString text = QString::fromUtf8(p.readAll());
    if (output) *output = text;
    if (!finished) p.kill(), p.waitForFinished(5000);
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgCluster::Create(QString* problem) {
    if (bin_.isEmpty()) {
        *problem = QStringLiteral("PostgreSQL is not installed (/usr/lib/postgresql/*/bin)");
        return false;
    }
    dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/sorelka-pg-XXXXXX"));
    if (!dir_->isValid()) {
        *problem = QStringLiteral("no temporary folder");
        return false;
    }
    if (::geteuid() == 0) {
        const passwd* pw = ::getpwnam("postgres");
        if (!pw) pw = ::getpwnam("nobody");
        if (!pw || ::chown(QFile::encodeName(dir_->path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            *problem = QStringLiteral("no unprivileged user for the server");
            return false;
        }
        user_ = QString::fromLocal8Bit(pw->pw_name);
    }
    QString out;
    if (!Run(QStringLiteral("setpriv"),
             AsServerUser(bin_ + QStringLiteral("/initdb"),
                          {QStringLiteral("-D"), dir_->filePath(QStringLiteral("data")),
                           QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-E"),
                           QStringLiteral("UTF8"), QStringLiteral("--no-locale"), QStringLiteral("--no-sync"),
                           QStringLiteral("--auth-local=trust"), QStringLiteral("--auth-host=scram-sha-256")}),
             &out)) {
        *problem = QStringLiteral("initdb failed: ") + out;
        return false;
    }
    // A port taken between looking and starting: try another.
    for (int attempt = 0; attempt < 3; ++attempt) {
        port_ = FreePort();
        if (Start(problem)) break;
        if (attempt == 2) return false;
    }
    QFile password(password_file());
    if (!password.open(QIODevice::WriteOnly) || password.write(kPassword.toUtf8() + '\n') < 0) {
        *problem = QStringLiteral("cannot write the password file");
        return false;
    }
    password.close();
    password.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    const QStringList as_super{QStringLiteral("-h"), dir_->path(), QStringLiteral("-p"),
                               QString::number(port_), QStringLiteral("-U"), QStringLiteral("postgres"),
                               QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"),
                               QStringLiteral("ON_ERROR_STOP=1")};
    if (!Run(bin_ + QStringLiteral("/psql"),
             as_super + QStringList{QStringLiteral("-d"), QStringLiteral("postgres"), QStringLiteral("-c"),
                                    QStringLiteral("create database sorelka")},
             &out) ||
        !Psql({QStringLiteral("-f"), ServerSql()}, &out) ||
        !Psql({QStringLiteral("-c"),
               QStringLiteral("create role pc login password '%1' in role sorelka_writer").arg(kPassword)},
              &out)) {
        *problem = QStringLiteral("loading the server SQL failed: ") + out;
        return false;
    }
    return true;
}

bool PgCluster::Start(QString* problem) {
    server_ = std::make_unique<QProcess>();
    server_->setProcessChannelMode(QProcess::MergedChannels);
    server_->setStandardOutputFile(dir_->filePath(QStringLiteral("server.log")), QIODevice::Append);
    server_->start(QStringLiteral("setpriv"),
                   AsServerUser(bin_ + QStringLiteral("/postgres"),
                                {QStringLiteral("-D"), dir_->filePath(QStringLiteral("data")),
                                 QStringLiteral("-p"), QString::number(port_), QStringLiteral("-k"),
                                 dir_->path(), QStringLiteral("-c"), QStringLiteral("listen_addresses=127.0.0.1"),
                                 QStringLiteral("-c"), QStringLiteral("fsync=off"), QStringLiteral("-c"),
                                 QStringLiteral("full_page_writes=off")}));
    if (!server_->waitForStarted(10000)) {
        *problem = QStringLiteral("postgres did not start");
        return false;
    }
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (server_->state() != QProcess::Running) break;
        if (Run(bin_ + QStringLiteral("/pg_isready"),
                {QStringLiteral("-q"), QStringLiteral("-h"), dir_->path(), QStringLiteral("-p"),
                 QString::number(port_)},
                nullptr))
            return true;
        QThread::msleep(50);
    }
    QFile log(dir_->filePath(QStringLiteral("server.log")));
    log.open(QIODevice::ReadOnly);
    *problem = QStringLiteral("postgres is not ready: ") + QString::fromUtf8(log.readAll().right(2000));
    Stop();
    return false;
}

void PgCluster::Stop() {
    if (!server_) return;
    if (server_->state() != QProcess::NotRunning) {
        // SIGINT: fast shutdown, every connection cut at once.
        ::kill(static_cast<pid_t>(server_->processId()), SIGINT);
        if (!server_->waitForFinished(20000)) {
            server_->kill();
            server_->waitForFinished(5000);
        }
    }
    server_.reset();
}

QString PgCluster::password_file() const { return dir_->filePath(QStringLiteral("pc.password")); }

sync::ServerConfig PgCluster::Config() const {
    sync::ServerConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = port_;
    config.database = QStringLiteral("sorelka");
    config.user = QStringLiteral("pc");
    config.password_file = password_file();
    config.password = kPassword;
    config.sslmode = QStringLiteral("disable");
    return config;
}

bool PgCluster::Psql(const QStringList& args, QString* output) const {
    return Run(psql(), PsqlArgs(args), output);
}

QStringList PgCluster::PsqlArgs(const QStringList& args) const {
    return QStringList{QStringLiteral("-h"), dir_->path(), QStringLiteral("-p"), QString::number(port_),
                           QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-d"),
                           QStringLiteral("sorelka"), QStringLiteral("-X"), QStringLiteral("-q"),
                           QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1")} +
           args;
}

QStringList PgCluster::Query(const QString& sql, bool* ok) const {
    QString out;
    const bool done = Psql({QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-F"),
                            QStringLiteral("|"), QStringLiteral("-c"), sql},
                           &out);
    if (ok) *ok = done;
    if (!done) return {};
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace sorelka::testing
