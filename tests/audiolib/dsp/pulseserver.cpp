// A private PulseAudio server with a null sink for tests.
#include "pulseserver.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <csignal>

namespace dsptest {

namespace {
QProcessEnvironment environmentFor(const QString& dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir);
    env.insert("HOME", dir);
    env.insert("PULSE_SERVER", "unix:" + dir + "/native");
    return env;
}
}  // namespace

PulseServer::~PulseServer()
{
    if (m_pid > 0) {
        ::kill(static_cast<pid_t>(m_pid), SIGTERM);
        for (int i = 0; i < 50 && ::kill(static_cast<pid_t>(m_pid), 0) == 0; ++i)
            QThread::msleep(20);
    }
}

bool PulseServer::start(QString* whyNot)
{
    const QString exe = QStandardPaths::findExecutable("pulseaudio");
    if (exe.isEmpty() || QStandardPaths::findExecutable("paplay").isEmpty()) {
        *whyNot = "pulseaudio or paplay is not installed";
        return false;
    }
    if (!m_dir.isValid()) {
        *whyNot = "no temporary folder";
        return false;
    }
    QProcess server;
    server.setProcessEnvironment(environmentFor(m_dir.path()));
    server.start(exe, {"-n", "--daemonize=yes", "--exit-idle-time=-1", "--log-target=stderr",
                       "--load=module-null-sink sink_name=" + sinkName(),
                       "--load=module-native-protocol-unix socket=" + m_dir.path() + "/native"});
    if (!server.waitForFinished(10000) || server.exitCode() != 0) {
        *whyNot = "the server did not start: " + QString::fromLocal8Bit(server.readAllStandardError()).trimmed();
        return false;
    }
    QFile pidFile(m_dir.path() + "/pulse/pid");
    if (pidFile.open(QIODevice::ReadOnly))
        m_pid = pidFile.readAll().trimmed().toLongLong();
    if (m_pid <= 0) {
        *whyNot = "the server left no process id";
        return false;
    }
    return true;
}

QString PulseServer::address() const { return "unix:" + m_dir.path() + "/native"; }

bool PulseServer::play(const QString& wavPath) const
{
    QProcess player;
    player.setProcessEnvironment(environmentFor(m_dir.path()));
    player.start(QStandardPaths::findExecutable("paplay"), {"-d", sinkName(), wavPath});
    return player.waitForFinished(10000) && player.exitCode() == 0;
}

}  // namespace dsptest
