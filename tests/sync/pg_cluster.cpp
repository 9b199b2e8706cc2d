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
const QString kTeacherPassword = QStringLiteral("teacher-secret-せんせい");

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
    if (!MakeCertificates(problem)) return false;
    // A port taken between looking and starting: try another.
    for (int attempt = 0; attempt < 3; ++attempt) {
        port_ = FreePort();
        if (Start(problem)) break;
        if (attempt == 2) return false;
    }
    if (WritePassword(QStringLiteral("pc"), kPassword).isEmpty()) {
        *problem = QStringLiteral("cannot write the password files");
        return false;
    }
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
              &out) ||
        !Psql({QStringLiteral("-c"),
               QStringLiteral("create role teacher login password '%1'").arg(kTeacherPassword)},
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

// Writes `password` to <name>.password, readable by its owner only; the path.
QString PgCluster::WritePassword(const QString& name, const QString& password) const {
    QFile file(dir_->filePath(name + QStringLiteral(".password")));
    if (!file.open(QIODevice::WriteOnly) || file.write(password.toUtf8() + '\n') < 0) return QString();
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return file.fileName();
}

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

sync::ServerConfig PgCluster::TeacherConfig() const {
    return Config().AsTeacher(QStringLiteral("teacher"), kTeacherPassword);
}

sync::ServerConfig PgCluster::TlsConfig() const {
    sync::ServerConfig config = Config();
    config.host = QStringLiteral("localhost");
    config.sslmode = QStringLiteral("verify-full");
    config.sslrootcert = ca_file();
    return config;
}

QString PgCluster::ca_file() const { return dir_->filePath(QStringLiteral("tls/ca.crt")); }

// A throwaway CA and the server's certificate for "localhost", and the
// server's configuration to take TLS with them.
bool PgCluster::MakeCertificates(QString* problem) {
    QDir().mkpath(dir_->filePath(QStringLiteral("tls")));
    QString out;
    const QString tls = dir_->filePath(QStringLiteral("tls"));
    if (!Run(QStringLiteral("openssl"),
             {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
              QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
              QStringLiteral("-keyout"), tls + QStringLiteral("/ca.key"), QStringLiteral("-out"), ca_file(),
              QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
              QStringLiteral("/CN=Sorelka test school CA"), QStringLiteral("-addext"),
              QStringLiteral("basicConstraints=critical,CA:TRUE"), QStringLiteral("-addext"),
              QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")},
             &out)) {
        *problem = QStringLiteral("openssl could not make the CA: ") + out;
        return false;
    }
    if (!MakeServerCertificate(QStringLiteral("localhost"), problem)) return false;
    QFile conf(dir_->filePath(QStringLiteral("data/postgresql.conf")));
    if (!conf.open(QIODevice::Append) ||
        conf.write(QStringLiteral("ssl = on\nssl_cert_file = '%1/server.crt'\nssl_key_file = '%1/server.key'\n")
                       .arg(tls)
                       .toUtf8()) < 0) {
        *problem = QStringLiteral("cannot configure TLS");
        return false;
    }
    return true;
}

// The server's key and certificate for `host` (its one name), signed by the CA.
bool PgCluster::MakeServerCertificate(const QString& host, QString* problem) {
    const QString tls = dir_->filePath(QStringLiteral("tls"));
    QFile extensions(tls + QStringLiteral("/server.ext"));
    if (!extensions.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        extensions.write(QStringLiteral("subjectAltName = DNS:%1\n").arg(host).toUtf8()) < 0) {
        *problem = QStringLiteral("cannot write the certificate's extensions");
        return false;
    }
    extensions.close();
    QString out;
    if (!Run(QStringLiteral("openssl"),
             {QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
              QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
              tls + QStringLiteral("/server.key"), QStringLiteral("-out"), tls + QStringLiteral("/server.csr"),
              QStringLiteral("-subj"), QStringLiteral("/CN=") + host},
             &out) ||
        !Run(QStringLiteral("openssl"),
             {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), tls + QStringLiteral("/server.csr"),
              QStringLiteral("-CA"), ca_file(), QStringLiteral("-CAkey"), tls + QStringLiteral("/ca.key"),
              QStringLiteral("-CAcreateserial"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-out"),
              tls + QStringLiteral("/server.crt"), QStringLiteral("-extfile"), extensions.fileName()},
             &out)) {
        *problem = QStringLiteral("openssl could not make the server's certificate: ") + out;
        return false;
    }
    // The server reads its key only when the key is its user's alone.
    QFile::setPermissions(tls + QStringLiteral("/server.key"), QFile::ReadOwner | QFile::WriteOwner);
    if (!user_.isEmpty()) {
        const passwd* pw = ::getpwnam(user_.toLocal8Bit().constData());
        for (const char* file : {"/server.key", "/server.crt"})
            if (!pw || ::chown(QFile::encodeName(tls + QLatin1String(file)).constData(), pw->pw_uid, pw->pw_gid) != 0) {
                *problem = QStringLiteral("cannot give the key to the server's user");
                return false;
            }
    }
    return true;
}

bool PgCluster::UseCertificateFor(const QString& host, QString* problem) {
    if (!MakeServerCertificate(host, problem)) return false;
    bool ok = false;
    Query(QStringLiteral("select pg_reload_conf()"), &ok);
    if (!ok) *problem = QStringLiteral("the server did not reload");
    QThread::msleep(300);  // the postmaster reloads asynchronously
    return ok;
}

bool PgCluster::PsqlAs(const sync::ServerConfig& config, const QString& sql, QString* output) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), config.password);
    env.insert(QStringLiteral("PGSSLMODE"), config.sslmode);
    if (!config.sslrootcert.isEmpty()) env.insert(QStringLiteral("PGSSLROOTCERT"), config.sslrootcert);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(psql(), {QStringLiteral("-h"), config.host, QStringLiteral("-p"), QString::number(config.port),
                     QStringLiteral("-U"), config.user, QStringLiteral("-d"), config.database, QStringLiteral("-X"),
                     QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-v"),
                     QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), sql});
    const bool finished = p.waitForFinished(30000);
    if (output) *output = QString::fromUtf8(p.readAll()).trimmed();
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString PgCluster::AddPc(const QString& name) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), bin_ + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("PGHOST"), dir_->path());
    env.insert(QStringLiteral("PGPORT"), QString::number(port_));
    env.insert(QStringLiteral("PGUSER"), QStringLiteral("postgres"));
    env.insert(QStringLiteral("PGDATABASE"), QStringLiteral("sorelka"));
    env.insert(QStringLiteral("SORELKA_SERVER_HOST"), QStringLiteral("localhost"));
    env.insert(QStringLiteral("SORELKA_CA_FILE"), ca_file());
    env.insert(QStringLiteral("SORELKA_PASSWORD_FILE"), dir_->filePath(name + QStringLiteral(".password")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SORELKA_SOURCE_DIR "/packaging/server/add-pc.sh"), {name});
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
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
